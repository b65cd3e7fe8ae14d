#pragma once

#include <initializer_list>
#include <string>

// The monitoring texts (--check, warnings, notifications) follow the user's
// LC_MESSAGES through gettext: Japanese from the catalog under a Japanese
// locale, the English of the source otherwise, so that a monitoring system
// that reads ASCII only gets English. The viewer and the table output do not
// use these texts and stay Japanese under every locale.
inline constexpr char kTextDomain[] = "tolvenar";

// Takes LC_MESSAGES from the environment and reads the catalogs under
// localeFolder (<folder>/<language>/LC_MESSAGES/tolvenar.mo), in UTF-8
// whatever the locale's character set. Without it, texts stay English.
void SetUpMonitorTexts(const std::string& localeFolder);

// For the viewer, whose texts are Japanese under every locale: the
// catalog's Japanese whatever LC_MESSAGES says.
void SetUpJapaneseTexts(const std::string& localeFolder);

// msgid in the user's language, its {1} to {9} replaced by args in order.
std::string MonitorText(const char* msgid, std::initializer_list<std::string> args = {});
