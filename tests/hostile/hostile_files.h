#pragma once

#include <string>
#include <vector>

// Files a report or the attribute table may turn out to be.
enum class HostileKind {
    Fifo,                    // a named pipe with no writer
    LinkToDevZero,           // a symbolic link to an endless device
    Directory,               // a directory of the report's name
    HundredMegabytes,        // a report followed by 100 MB of padding
    Unreadable,              // mode 000
    MegabyteLine,            // a model text of 1 MB
    NulBytes,                // NUL bytes before and inside lines
    InvalidUtf8,             // a report that is not UTF-8 (read as CP932)
    InvalidShiftJis,         // bytes that are neither UTF-8 nor CP932
    FiveThousandSections,    // 5,000 sections before the report's own
    RepeatedSectionsAtLimit, // 16 MiB of one section name over and over, then the report
};

struct HostileCase {
    HostileKind kind;
    const char* name;
    bool readable;     // read as a report at all (the others read as missing)
    const char* model; // the model text read, when readable
    int rows;          // attribute rows evaluated, when readable
};

// Every kind, with the outcome the core gives for it.
const std::vector<HostileCase>& HostileCases();

// Makes the file at path; false when it cannot be made here (the reason in why).
bool MakeHostileFile(HostileKind kind, const std::string& path, std::string& why);

// The well-formed report every readable hostile file carries somewhere.
extern const char kHostileReportBody[];
