#include "platform/websocket/FoundationSecurity.h"

#include "platform/foundation/Bundle.h"

std::string FoundationSecurity::trustedCAFile() const
{
    if (!m_trustedCAFile.empty())
        return m_trustedCAFile;
    return Bundle::main().infoString(InfoKey::TrustedCAFile).value_or("");
}
