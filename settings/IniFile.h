#pragma once

#include "core/Exception.h"

#include <cstdint>
#include <string>

// The error raised when the settings file cannot be written.
class EIniFileException : public Exception {
public:
    using Exception::Exception;
};

// Access to one INI file through the profile reader and writer. Creating it touches no
// file; every call opens the file and releases it at once. Lives for one load or one
// save of the settings.
class TIniFile {
public:
    explicit TIniFile(std::string fileName) : FileName(std::move(fileName)) {}

    TIniFile(const TIniFile&) = delete;
    TIniFile& operator=(const TIniFile&) = delete;

    // The value of the key, or `fallback` when the file, section or key is missing.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const;

    // Stores the value; raises EIniFileException "Unable to write to <file name>" when the
    // file cannot be written.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);

    // The value read by the integer text rules; a leading "0x" or "0X" stands for "$" when
    // digits follow it. `fallback` when the value is missing or breaks the rules.
    int32_t ReadInteger(const std::string& section, const std::string& key, int32_t fallback) const;

    // True when the value reads as an integer other than 0; `fallback` when it is missing
    // or breaks the integer rules ("yes", "true", "1a").
    bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;

    // Stores "1" for true and "0" for false.
    void WriteBool(const std::string& section, const std::string& key, bool value);

    const std::string FileName;
};
