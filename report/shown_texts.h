#pragma once

#include <string>

// Texts the viewer and tolvenar-report both show, byte for byte the same.

// The attribute table's columns, left to right.
inline constexpr int kAttributeColumnCount = 5;
inline const std::string kAttributeColumnTitles[kAttributeColumnCount] = {
    "ID", "概要", "値", "点数(ﾜｰｽﾄ)", "危険値",
};

// The description of an attribute the tables do not know.
inline constexpr char kUnknownDescription[] = "？？？";

// A report with a malformed attribute line.
inline constexpr char kParseErrorMessage[] = "解析エラー。INIファイルが不正です。";
