#include "collector/capture_conversion.h"

#include "collector/decoded_raw_value.h"
#include "collector/drive_verdict.h"
#include "collector/json_access.h"
#include "collector/mapped_attribute.h"
#include "collector/nvme_health_mapping.h"
#include "collector/report_text.h"
#include "collector/scsi_health_mapping.h"
#include "collector/self_test_log.h"
#include "collector/smartctl_messages.h"
#include "report/model_rules.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

std::string FirstText(const nlohmann::json& capture, std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
        std::string text = SanitizeReportText(JsonText(JsonMember(&capture, key)));
        if (!text.empty()) {
            return text;
        }
    }
    return {};
}

bool IsScsi(const nlohmann::json& capture) {
    return JsonText(JsonMember(JsonMember(&capture, "device"), "protocol")) == "SCSI";
}

std::string ModelOf(const nlohmann::json& capture) {
    if (IsScsi(capture)) {
        // smartctl 7.3 writes scsi_vendor and scsi_product, older versions vendor and product.
        const std::string vendor = FirstText(capture, {"scsi_vendor", "vendor"});
        const std::string product = FirstText(capture, {"scsi_product", "product"});
        std::string model = vendor;
        if (!vendor.empty() && !product.empty()) {
            model += ' ';
        }
        model += product;
        if (!model.empty()) {
            return SanitizeReportText(model);
        }
    }
    return FirstText(capture, {"model_name", "scsi_model_name"});
}

std::optional<std::uint64_t> CapacityOf(const nlohmann::json& capture) {
    if (auto bytes = JsonUnsigned(JsonMember(JsonMember(&capture, "user_capacity"), "bytes"))) {
        return bytes;
    }
    return JsonUnsigned(JsonMember(&capture, "nvme_total_capacity"));
}

std::optional<AttributeReading> AtaAttributeOf(const nlohmann::json& entry,
                                               const std::string& model) {
    const auto id = JsonInt32(JsonMember(&entry, "id"));
    const auto value = JsonInt32(JsonMember(&entry, "value"));
    if (!id || *id < kFirstAttributeId || *id > kLastAttributeId || !value) {
        return std::nullopt;
    }
    AttributeReading attribute;
    attribute.id = *id;
    attribute.current = *value;
    attribute.worst = JsonInt32(JsonMember(&entry, "worst")).value_or(*value);
    attribute.threshold = JsonInt32(JsonMember(&entry, "thresh")).value_or(0);
    const nlohmann::json* raw = JsonMember(&entry, "raw");
    // smartctl already shows some makers' power-on minutes or seconds as a
    // duration; the evaluation converts their count itself.
    const bool valueOnly = *id == kPowerOnHoursId && CountsPowerOnInMinutesOrSeconds(model.c_str());
    if (raw != nullptr) {
        attribute.raw = AtaRawField(*raw, valueOnly).value_or(0);
    }
    if (const auto value = JsonUnsigned(JsonMember(raw, "value"))) {
        attribute.auxiliary = static_cast<std::uint16_t>((*value >> 32) & 0xFFFFu);
    }
    return attribute;
}

void AppendAtaAttributes(const nlohmann::json& capture, const std::string& model,
                         std::vector<AttributeReading>& attributes) {
    const nlohmann::json* table = JsonMember(JsonMember(&capture, "ata_smart_attributes"), "table");
    if (table == nullptr || !table->is_array()) {
        return;
    }
    for (const nlohmann::json& entry : *table) {
        const auto attribute = AtaAttributeOf(entry, model);
        if (attribute && !HasAttribute(attributes, attribute->id)) {
            attributes.push_back(*attribute);
        }
    }
}

// Some drives report their temperature outside attribute 194 (Samsung SATA
// SSDs only in 190; SCSI drives in a log page); smartctl's decoded figure
// stands in for it. Below zero it gives no line: the viewer keeps 16 bits of
// attribute 194, so -5 would read as 65531 degrees. Nor does 0: smartctl
// writes it when it read no temperature (a SCSI disk without SMART, a RAID
// volume) and itself prints "not available" for it.
void AppendTemperature(const nlohmann::json& capture, std::vector<AttributeReading>& attributes) {
    const auto degrees = JsonInt32(JsonMember(JsonMember(&capture, "temperature"), "current"));
    if (degrees && *degrees > 0) {
        AppendMappedAttribute(attributes, kTemperatureId, 100, 0, *degrees);
    }
}

// The World Wide Name as udev names it (/dev/disk/by-id/wwn-0x…): NAA,
// OUI and vendor id in 16 hex digits; empty when smartctl gives none.
std::string WwnOf(const nlohmann::json& capture) {
    const nlohmann::json* wwn = JsonMember(&capture, "wwn");
    const auto naa = JsonUnsigned(JsonMember(wwn, "naa"));
    const auto oui = JsonUnsigned(JsonMember(wwn, "oui"));
    const auto id = JsonUnsigned(JsonMember(wwn, "id"));
    if (!naa || !oui || !id || *naa > 0xf || *oui > 0xffffff || *id > 0xfffffffffull) {
        return std::string();
    }
    char text[24];
    std::snprintf(text, sizeof text, "0x%01llx%06llx%09llx", static_cast<unsigned long long>(*naa),
                  static_cast<unsigned long long>(*oui), static_cast<unsigned long long>(*id));
    return text;
}

// The kernel's name of the device ("sda", "nvme0") from smartctl's device
// path; empty unless it is a plain name under /dev/.
std::string DeviceNameOf(const nlohmann::json& capture) {
    const std::string path = JsonText(JsonMember(JsonMember(&capture, "device"), "name"));
    const std::string prefix = "/dev/";
    if (path.size() <= prefix.size() || path.size() > 64 ||
        path.compare(0, prefix.size(), prefix) != 0) {
        return std::string();
    }
    const std::string name = path.substr(prefix.size());
    const bool plain = std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    });
    return plain ? name : std::string();
}

} // namespace

CaptureConversion ConvertCapture(const nlohmann::json& capture) {
    CaptureConversion result;
    if (!capture.is_object()) {
        result.problem = "the capture is not a smartctl JSON object";
        return result;
    }
    const auto status = CaptureExitStatus(capture);
    if (!status) {
        result.problem = "the capture's smartctl.exit_status is not a number from 0 to 255";
        return result;
    }
    if ((*status & kSmartctlNoDataBits) != 0) {
        result.problem = SmartctlFailure(capture, *status);
        return result;
    }

    SmartReport report;
    report.model = ModelOf(capture);
    report.serialNumber = FirstText(capture, {"serial_number"});
    report.firmwareRevision = FirstText(capture, {"firmware_version", "scsi_revision", "revision"});
    report.capacityBytes = CapacityOf(capture);
    report.wwn = WwnOf(capture);
    report.device = DeviceNameOf(capture);
    AppendAtaAttributes(capture, report.model, report.attributes);
    if (const nlohmann::json* log = JsonMember(&capture, "nvme_smart_health_information_log")) {
        AppendNvmeHealthAttributes(*log, report.attributes);
    }
    if (IsScsi(capture)) {
        AppendScsiHealthAttributes(capture, report.attributes);
    }

    if (report.model.empty() && report.serialNumber.empty() && report.attributes.empty()) {
        result.problem = "the capture holds no drive";
        return result;
    }
    AppendTemperature(capture, report.attributes);
    AppendDriveVerdict(capture, report);
    report.selfTest = ReadSelfTestLog(capture);
    result.report = std::move(report);
    return result;
}
