#include "cli/report_output.h"

#include "cli/display_width.h"
#include "config/text_encoding.h"
#include "platform/utf8.h"

#include <algorithm>
#include <cstdio>

namespace {

const char* const kHeaders[5] = {"ID", "概要", "値", "点数(ﾜｰｽﾄ)", "危険値"};
const char kRed[] = "\x1b[31m";
const char kReset[] = "\x1b[0m";

} // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (char c : ReplaceInvalidUtf8(text)) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
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
    out << "],\"parse_error_id\":";
    if (report.evaluation.parseError) {
        out << report.evaluation.parseErrorId;
    } else {
        out << "null";
    }
    out << ",\"verdict\":";
    if (p.verdict.empty()) {
        out << "null";
    } else {
        out << JsonString(p.verdict);
    }
    out << "}\n";
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
    std::size_t widths[5];
    for (int c = 0; c < 5; ++c) {
        widths[c] = DisplayWidth(kHeaders[c]);
        for (const AttributeRow& row : rows) {
            widths[c] = std::max(widths[c], DisplayWidth(row.columns[c]));
        }
    }
    auto writeLine = [&](const char* mark, const std::string* texts) {
        out << "  " << mark;
        for (int c = 0; c < 5; ++c) {
            out << ' ' << (c == 4 ? texts[c] : PadToWidth(texts[c], widths[c]));
        }
    };
    const std::string headers[5] = {kHeaders[0], kHeaders[1], kHeaders[2], kHeaders[3],
                                    kHeaders[4]};
    out << '\n';
    writeLine(" ", headers);
    out << '\n';
    for (const AttributeRow& row : rows) {
        const bool failing = row.rank == 1;
        if (failing && colour) {
            out << kRed;
        }
        writeLine(failing ? "!" : " ", row.columns);
        if (failing && colour) {
            out << kReset;
        }
        out << '\n';
    }
    out << '\n';
}
