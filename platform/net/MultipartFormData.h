#pragma once

#include "platform/foundation/Data.h"

#include <string>
#include <vector>

// A multipart/form-data body: text fields and file parts in the order appended.
class MultipartFormData {
public:
    MultipartFormData(); // with a random boundary
    explicit MultipartFormData(std::string boundary);

    void append(std::string name, std::string value);
    void append(Data data, std::string name, std::string filename, std::string mimeType);

    const std::string& boundary() const { return m_boundary; }
    // "multipart/form-data; boundary=<boundary>"
    std::string contentType() const;
    Data encode() const;

private:
    struct Part {
        std::string name;
        std::string filename; // empty for a text field
        std::string mimeType;
        Data data;
        bool isFile = false;
    };

    std::string m_boundary;
    std::vector<Part> m_parts;
};
