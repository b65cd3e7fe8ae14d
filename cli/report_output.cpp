#include "cli/report_output.h"

#include "cli/display_width.h"
#include "config/text_encoding.h"
#include "platform/utf8.h"
#include "report/shown_texts.h"

#include <algorithm>
#include <cstdio>

namespace {

const char kRed[] = "\x1b[31m";
const char kReset[] = "\x1b[0m";

} // namespace

std::string JsonString(std::string_view text) {
    // Each character of kShortEscaped is written as a backslash and the
    // character at the same place in kShortEscapes.
    constexpr std::string_view kShortEscaped = "\"\\\n\r\t";
    constexpr std::string_view kShortEscapes = "\"\\nrt";
    std::string out = "\"";
    for (char c : ReplaceInvalidUtf8(text)) {
        const auto byte = static_cast<unsigned char>(c);
        if (const std::size_t at = kShortEscaped.find(c); at != std::string_view::npos) {
            out += '\\';
            out += kShortEscapes[at];
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

std::string JsonNumber(const std::optional<std::uint64_t>& value) {
    return value ? std::to_string(*value) : "null";
}

// The report's [SELFTEST] section; null when it has none.
std::string SelfTestJson(const SelfTestState& state) {
    if (!state.present) {
        return "null";
    }
    std::string json = std::string("{\"state\":") + (state.running ? "\"running\"" : "\"idle\"") +
                       ",\"remaining_percent\":" +
                       (state.remainingPercent ? std::to_string(*state.remainingPercent) : "null") +
                       ",\"entries\":[";
    for (std::size_t i = 0; i < state.entries.size(); ++i) {
        const SelfTestRecord& entry = state.entries[i];
        json += (i == 0 ? "{\"type\":" : ",{\"type\":") + JsonString(entry.type) +
                ",\"outcome\":" + JsonString(entry.outcome) +
                ",\"code\":" + std::to_string(entry.code) +
                ",\"hours\":" + JsonNumber(entry.hours) + ",\"lba\":" + JsonNumber(entry.lba) +
                ",\"text\":" + JsonString(entry.text) + "}";
    }
    return json + "]}";
}

void WriteJson(std::ostream& out, const DriveReport& report) {
    const DrivePanelTexts& p = report.panel;
    out << "{\"file\":" << JsonString(report.file) << ",\"panel\":{"
        << "\"vendor\":" << JsonString(p.vendor) << ",\"model\":" << JsonString(p.model)
        << ",\"series\":" << JsonString(p.series) << ",\"capacity\":" << JsonString(p.capacity)
        << ",\"serial\":" << JsonString(p.serial) << ",\"firmware\":" << JsonString(p.firmware)
        << ",\"temperature\":" << JsonString(report.temperature)
        << ",\"power_on\":" << JsonString(report.powerOnTime) << "},\"rows\":[";
    const auto& rows = report.evaluation.rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        out << (i == 0 ? "" : ",") << "{\"columns\":[";
        for (int c = 0; c < 5; ++c) {
            out << (c == 0 ? "" : ",") << JsonString(rows[i].columns[c]);
        }
        out << "],\"rank\":" << rows[i].rank << "}";
    }
    out << "],\"parse_error_id\":"
        << (report.evaluation.parseError ? std::to_string(report.evaluation.parseErrorId) : "null")
        << ",\"verdict\":" << (p.verdict.empty() ? "null" : JsonString(p.verdict))
        << ",\"self_test\":" << SelfTestJson(report.selfTest) << "}\n";
}

void WriteText(std::ostream& out, const DriveReport& report, bool colour) {
    const DrivePanelTexts& p = report.panel;
    out << "== " << report.file << " ==\n";
    for (const std::string* line : {&p.vendor, &p.model, &p.series, &p.capacity, &p.serial,
                                    &p.firmware, &report.temperature, &report.powerOnTime}) {
        if (!line->empty()) {
            out << "  " << *line << '\n';
        }
    }
    if (!p.verdict.empty()) {
        out << "  ドライブの判定： " << p.verdict << '\n';
    }
    const auto& rows = report.evaluation.rows;
    if (rows.empty()) {
        out << '\n';
        return;
    }
    std::size_t widths[kAttributeColumnCount];
    for (int c = 0; c < kAttributeColumnCount; ++c) {
        widths[c] = DisplayWidth(kAttributeColumnTitles[c]);
        for (const AttributeRow& row : rows) {
            widths[c] = std::max(widths[c], DisplayWidth(row.columns[c]));
        }
    }
    auto writeLine = [&](const char* mark, const std::string* texts) {
        out << "  " << mark;
        for (int c = 0; c < kAttributeColumnCount; ++c) {
            const bool last = c == kAttributeColumnCount - 1;
            out << ' ' << (last ? texts[c] : PadToWidth(texts[c], widths[c]));
        }
    };
    out << '\n';
    writeLine(" ", kAttributeColumnTitles);
    out << '\n';
    for (const AttributeRow& row : rows) {
        const bool failing = row.rank == 1;
        out << (failing && colour ? kRed : "");
        writeLine(failing ? "!" : " ", row.columns);
        out << (failing && colour ? kReset : "") << '\n';
    }
    out << '\n';
}
