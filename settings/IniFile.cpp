#include "settings/IniFile.h"

#include "core/IntegerText.h"
#include "settings/Profile.h"

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& fallback) const {
    return ProfileRead(FileName, section, key, fallback);
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
    if (!ProfileWrite(FileName, TProfileEntry{section, key, value})) {
        throw EIniFileException("Unable to write to " + FileName);
    }
}

int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key,
                              int32_t fallback) const {
    std::string text = ReadString(section, key, "");
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.replace(0, 2, "$");
    }
    return StrToIntDef(text, fallback);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}
