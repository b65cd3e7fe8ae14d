#include "config/ini_store.h"

#include "config/decimal.h"
#include "config/format_bounded.h"
#include "config/ini_file.h"
#include "config/program_folder.h"
#include "platform/utf8.h"

#include <cstdio>
#include <cstring>

namespace {

std::string CutUtf8(std::string text, std::size_t limit) {
    text.resize(Utf8PrefixLength(text.data(), text.size(), limit));
    return text;
}

} // namespace

CIniStore::CIniStore() = default;
CIniStore::~CIniStore() = default;

void CIniStore::Open(const char* name) {
    m_strPath = ResolveInProgramFolder(name);
    m_mapCache.clear();
    m_pFile.reset();
}

void CIniStore::OpenText(std::string_view bytes) {
    m_strPath.clear();
    m_mapCache.clear();
    m_pFile = std::make_unique<CIniFile>();
    if (bytes.size() <= CIniFile::kMaxFileSize) {
        m_pFile->Parse(bytes);
    }
}

std::string CIniStore::GetSectionName(const char* keyPath) {
    std::string section = CutUtf8(keyPath, kMaxSection);
    const std::size_t divider = section.find("::");
    if (divider != std::string::npos) {
        section.resize(divider);
    }
    return section;
}

std::string CIniStore::GetKeyName(const char* keyPath) {
    const char* divider = std::strstr(keyPath, "::");
    return CutUtf8(divider != nullptr ? divider + 2 : keyPath, kMaxKey);
}

const std::string& CIniStore::Read(const char* keyPath, const char* defaultText) {
    auto found = m_mapCache.find(keyPath);
    if (found != m_mapCache.end()) {
        return found->second;
    }
    if (!m_pFile) {
        // The file is parsed once per opening; every later key path is
        // answered from that parse. A file that cannot be read gives every
        // key its default, as the profile reading this replaces did.
        m_pFile = std::make_unique<CIniFile>();
        (void)m_pFile->Load(m_strPath);
    }
    const std::string* value = m_pFile->Find(GetSectionName(keyPath), GetKeyName(keyPath));
    std::string text =
        value != nullptr ? CutUtf8(*value, kMaxValue) : CutUtf8(defaultText, kMaxValue);
    return m_mapCache.emplace(keyPath, std::move(text)).first->second;
}

const char* CIniStore::GetString(const char* keyPath, const char* defaultText) {
    return Read(keyPath, defaultText).c_str();
}

int CIniStore::GetInt(const char* keyPath, int defaultValue) {
    char defaultText[16];
    std::snprintf(defaultText, sizeof defaultText, "%d", defaultValue);
    return ParseDecimalInt(Read(keyPath, defaultText).c_str());
}
