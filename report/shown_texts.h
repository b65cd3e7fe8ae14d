#pragma once

#include <cstddef>
#include <string>

// Texts the viewer and tolvenar-report both show, byte for byte the same.

// The attribute table's columns, left to right.
inline constexpr int kAttributeColumnCount = 5;
inline const std::string kAttributeColumnTitles[kAttributeColumnCount] = {
    "ID", "概要", "値", "点数(ﾜｰｽﾄ)", "危険値",
};

// The description of an attribute the tables do not know.
inline constexpr char kUnknownDescription[] = "？？？";

// The self-test log's columns for the power-on hour (the attribute table's
// name of attribute 9) and the first failing block.
inline constexpr char kSelfTestHoursTitle[] = "使用時間";
inline constexpr char kSelfTestLbaTitle[] = "最初の不良LBA";

// The words of a report's self-test entries as both show them.
struct SelfTestWord {
    const char* word;
    const char* text;
};
inline constexpr SelfTestWord kSelfTestTypeTexts[] = {
    {"short", "短時間"},   {"extended", "拡張"},      {"conveyance", "搬送"},
    {"selective", "選択"}, {"offline", "オフライン"}, {"other", "その他"},
};
inline constexpr SelfTestWord kSelfTestOutcomeTexts[] = {
    {"ok", "正常終了"}, {"aborted", "中止"},   {"interrupted", "中断（リセット）"},
    {"failed", "失敗"}, {"running", "実行中"}, {"unknown", "不明"},
};

// The text of word in table; a word the table lacks is shown as it is.
template <std::size_t N>
std::string SelfTestWordText(const SelfTestWord (&table)[N], const std::string& word) {
    for (const SelfTestWord& entry : table) {
        if (word == entry.word) {
            return entry.text;
        }
    }
    return word;
}

// A report with a malformed attribute line.
inline constexpr char kParseErrorMessage[] = "解析エラー。INIファイルが不正です。";
