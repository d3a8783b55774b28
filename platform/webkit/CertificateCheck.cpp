#include "platform/webkit/CertificateCheck.h"

namespace webkitengine {

std::string describeCertificateFlags(GTlsCertificateFlags flags)
{
    struct Name {
        GTlsCertificateFlags flag;
        const char* text;
    };
    static constexpr Name names[] = {
        { G_TLS_CERTIFICATE_UNKNOWN_CA, "unknown authority" },
        { G_TLS_CERTIFICATE_BAD_IDENTITY, "another host's" },
        { G_TLS_CERTIFICATE_NOT_ACTIVATED, "not yet valid" },
        { G_TLS_CERTIFICATE_EXPIRED, "expired" },
        { G_TLS_CERTIFICATE_REVOKED, "revoked" },
        { G_TLS_CERTIFICATE_INSECURE, "insecure algorithm" },
        { G_TLS_CERTIFICATE_GENERIC_ERROR, "unreadable" },
    };
    std::string text;
    for (const Name& name : names) {
        if (!(flags & name.flag))
            continue;
        if (!text.empty())
            text += ", ";
        text += name.text;
    }
    return text.empty() ? "invalid" : text;
}

bool certificateIsTrusted(
    GTlsCertificate* certificate, const std::string& host, const std::string& caFile, std::string& why)
{
    if (caFile.empty()) {
        why = "no authority file is configured besides the system's store";
        return false;
    }
    GError* error = nullptr;
    GTlsDatabase* database = g_tls_file_database_new(caFile.c_str(), &error);
    if (!database) {
        why = "the authority file " + caFile
            + " cannot be read: " + (error ? error->message : "unknown error");
        g_clear_error(&error);
        return false;
    }
    GSocketConnectable* identity = g_network_address_new(host.c_str(), 0);
    GTlsCertificateFlags flags
        = g_tls_database_verify_chain(database, certificate, G_TLS_DATABASE_PURPOSE_AUTHENTICATE_SERVER,
            identity, nullptr, G_TLS_DATABASE_VERIFY_NONE, nullptr, &error);
    g_object_unref(identity);
    g_object_unref(database);
    if (error) {
        why = std::string("the certificate cannot be checked: ") + error->message;
        g_clear_error(&error);
        return false;
    }
    if (flags != 0) {
        why = "the certificate is " + describeCertificateFlags(flags) + " for the authorities of " + caFile;
        return false;
    }
    return true;
}

bool certificateIsTrustedBySystem(GTlsCertificate* certificate, const std::string& host)
{
    GTlsDatabase* database = g_tls_backend_get_default_database(g_tls_backend_get_default());
    if (!database)
        return false;
    GSocketConnectable* identity = g_network_address_new(host.c_str(), 0);
    GTlsCertificateFlags flags
        = g_tls_database_verify_chain(database, certificate, G_TLS_DATABASE_PURPOSE_AUTHENTICATE_SERVER,
            identity, nullptr, G_TLS_DATABASE_VERIFY_NONE, nullptr, nullptr);
    g_object_unref(identity);
    g_object_unref(database);
    return flags == 0;
}

}
