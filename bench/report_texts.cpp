#include "bench/report_texts.h"

#include <string>

namespace {

constexpr int kLastAttributeId = 255;

} // namespace

std::string FullReportText(int driveNumber) {
    std::string text = "[HDDINFO]\n"
                       "MODEL=ST2000DM008-2FR102\n"
                       "SERIAL_NUMBER=ZFL0BENCH" +
                       std::to_string(driveNumber) +
                       "\n"
                       "FIRMWARE_REVISION=0001\n"
                       "SIZE_GB=2000\n"
                       "SIZE_GIB=1863\n"
                       "\n[SMARTS]\n";
    for (int id = 1; id <= kLastAttributeId; ++id) {
        // Varied values, some below their threshold, some with the high
        // 16 bits set, so that every branch of the evaluation is taken.
        const int current = 100 - id % 7;
        const int threshold = id % 11 == 0 ? 101 : id % 50;
        text += "ATTR_" + std::to_string(id) + "=" + std::to_string(current) + "," +
                std::to_string(current - 3) + "," + std::to_string(threshold) + "," +
                std::to_string(id * 104729 + driveNumber) + "," + std::to_string(id % 60) + "\n";
    }
    return text;
}

std::string FullAttributeTableText() {
    std::string text = "[ATTR_TABLE]\n";
    for (int id = 1; id <= kLastAttributeId; ++id) {
        const std::string n = std::to_string(id);
        text += "NAME_" + n + "=属性" + n + "の説明\n";
        text += "UNIT_" + n + "=回\n";
        if (id % 3 == 0) {
            text += "SIZE_" + n + "=short\n";
        }
    }
    return text;
}
