#include "cli/report_output.h"

#include "cli/display_width.h"
#include "config/text_encoding.h"
#include "platform/utf8.h"
#include "report/format_grouped.h"
#include "report/shown_texts.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

const char kRed[] = "\x1b[31m";
const char kReset[] = "\x1b[0m";
const std::string kSelfTestHeaders[5] = {"種類", "結果", kSelfTestHoursTitle, kSelfTestLbaTitle,
                                         "詳細"};

// Columns padded to the widest text, marked rows in red when colour is on.
void WriteTable(std::ostream& out, const std::string (&headers)[5],
                const std::vector<std::array<std::string, 5>>& rows,
                const std::vector<bool>& marked, bool colour) {
    std::size_t widths[5];
    for (int c = 0; c < 5; ++c) {
        widths[c] = DisplayWidth(headers[c]);
        for (const auto& row : rows) {
            widths[c] = std::max(widths[c], DisplayWidth(row[c]));
        }
    }
    auto writeLine = [&](const char* mark, const std::string* texts) {
        out << "  " << mark;
        for (int c = 0; c < 5; ++c) {
            out << ' ' << (c == 4 ? texts[c] : PadToWidth(texts[c], widths[c]));
        }
    };
    out << '\n';
    writeLine(" ", headers);
    out << '\n';
    for (std::size_t r = 0; r < rows.size(); ++r) {
        out << (marked[r] && colour ? kRed : "");
        writeLine(marked[r] ? "!" : " ", rows[r].data());
        out << (marked[r] && colour ? kReset : "") << '\n';
    }
}

// The self-test state, then the log with failed tests marked.
void WriteSelfTests(std::ostream& out, const SelfTestState& state, bool colour) {
    if (!state.present) {
        return;
    }
    out << "  自己診断： "
        << (!state.running ? std::string("実行していません")
            : state.remainingPercent
                ? "実行中（残り " + std::to_string(*state.remainingPercent) + " %）"
                : std::string("実行中"))
        << '\n';
    if (state.entries.empty()) {
        out << "  自己診断の記録はありません\n\n";
        return;
    }
    std::vector<std::array<std::string, 5>> rows;
    std::vector<bool> failed;
    for (const SelfTestRecord& entry : state.entries) {
        rows.push_back({SelfTestWordText(kSelfTestTypeTexts, entry.type),
                        SelfTestWordText(kSelfTestOutcomeTexts, entry.outcome),
                        entry.hours ? FormatGrouped(static_cast<long long>(*entry.hours)) + " 時間"
                                    : std::string("-"),
                        entry.lba ? std::to_string(*entry.lba) : std::string("-"), entry.text});
        failed.push_back(entry.outcome == "failed");
    }
    WriteTable(out, kSelfTestHeaders, rows, failed, colour);
    out << '\n';
}

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
                       ",\"schedule_enabled\":" + (state.scheduleEnabled ? "true" : "false") +
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
    std::vector<std::array<std::string, 5>> rows;
    std::vector<bool> failing;
    for (const AttributeRow& row : report.evaluation.rows) {
        rows.push_back(
            {row.columns[0], row.columns[1], row.columns[2], row.columns[3], row.columns[4]});
        failing.push_back(row.rank == 1);
    }
    if (!rows.empty()) {
        WriteTable(out, kAttributeColumnTitles, rows, failing, colour);
    }
    out << '\n';
    WriteSelfTests(out, report.selfTest, colour);
}
