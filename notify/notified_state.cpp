#include "notify/notified_state.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr int kStateVersion = 1;

struct KindName {
    WarningKind kind;
    const char* name;
};
constexpr KindName kKindNames[] = {
    {WarningKind::BelowThreshold, "below-threshold"},
    {WarningKind::Verdict, "verdict"},
    {WarningKind::Counter, "counter"},
    {WarningKind::Temperature, "temperature"},
    {WarningKind::Vanished, "vanished"},
    {WarningKind::ReportError, "report-error"},
    {WarningKind::SelfTest, "self-test"},
    {WarningKind::ExtendedTestAge, "extended-test-age"},
};

const char* KindToName(WarningKind kind) {
    for (const KindName& entry : kKindNames) {
        if (entry.kind == kind) {
            return entry.name;
        }
    }
    return "";
}

bool NameToKind(const QString& name, WarningKind& kind) {
    for (const KindName& entry : kKindNames) {
        if (name == QLatin1String(entry.name)) {
            kind = entry.kind;
            return true;
        }
    }
    return false;
}

// A JSON number as a 64-bit count; nullopt for anything else (out of range,
// a fraction, not a number). Qt's own conversion checks the range: a cast of
// a double out of range would be undefined behaviour.
std::optional<std::int64_t> ToCount(const QJsonValue& value) {
    const qint64 count = value.toInteger(0);
    if (count != value.toInteger(1)) {
        return std::nullopt; // each call gave its default: not a count
    }
    return count;
}

bool HasIdentity(const QJsonObject& object) {
    return object.value("model").isString() && object.value("serial").isString();
}

bool ParseEntry(const QJsonValue& value, NotifiedWarning& entry) {
    const QJsonObject object = value.toObject();
    const QJsonValue attribute = object.value("attribute");
    if (!value.isObject() || !HasIdentity(object) || !attribute.isDouble() ||
        !NameToKind(object.value("kind").toString(), entry.kind)) {
        return false;
    }
    entry.model = object.value("model").toString().toStdString();
    entry.serial = object.value("serial").toString().toStdString();
    entry.attributeId = attribute.toInt(-1);
    entry.value = ToCount(object.value("value"));
    return entry.attributeId >= 0;
}

bool ParseBubble(const QJsonValue& value, DriveBubble& bubble) {
    const QJsonObject object = value.toObject();
    const std::optional<std::int64_t> id = ToCount(object.value("id"));
    if (!value.isObject() || !HasIdentity(object) || !id || *id <= 0 || *id > UINT32_MAX) {
        return false;
    }
    bubble.model = object.value("model").toString().toStdString();
    bubble.serial = object.value("serial").toString().toStdString();
    bubble.id = static_cast<std::uint32_t>(*id);
    return true;
}

// mkdir -p with mode 0700 for what it creates.
Result<void> MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return Failure{part + ": " + std::strerror(errno)};
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return Failure{path + ": not a folder"};
    }
    return {};
}

} // namespace

bool ParseNotifiedState(const std::string& text, NotifiedState& state) {
    state = NotifiedState();
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    const QJsonObject root = document.object();
    const QJsonValue bubbles = root.value("bubbles");
    if (error.error != QJsonParseError::NoError || !document.isObject() ||
        root.value("version").toInt() != kStateVersion || !root.value("warnings").isArray() ||
        !(bubbles.isUndefined() || bubbles.isArray()) ||
        !(root.value("server").isUndefined() || root.value("server").isString())) {
        return false;
    }
    bool whole = true;
    for (const QJsonValue& value : root.value("warnings").toArray()) {
        NotifiedWarning entry;
        whole = whole && ParseEntry(value, entry);
        state.warnings.push_back(entry);
    }
    for (const QJsonValue& value : bubbles.toArray()) {
        DriveBubble bubble;
        whole = whole && ParseBubble(value, bubble);
        state.bubbles.push_back(bubble);
    }
    state.server = root.value("server").toString().toStdString();
    if (!whole) {
        state = NotifiedState();
    }
    return whole;
}

std::string FormatNotifiedState(const NotifiedState& state) {
    QJsonArray warnings;
    for (const NotifiedWarning& entry : state.warnings) {
        warnings.append(QJsonObject{
            {"model", QString::fromStdString(entry.model)},
            {"serial", QString::fromStdString(entry.serial)},
            {"kind", QLatin1String(KindToName(entry.kind))},
            {"attribute", entry.attributeId},
            {"value", entry.value ? QJsonValue(qint64{*entry.value}) : QJsonValue()},
        });
    }
    QJsonArray bubbles;
    for (const DriveBubble& bubble : state.bubbles) {
        bubbles.append(QJsonObject{
            {"model", QString::fromStdString(bubble.model)},
            {"serial", QString::fromStdString(bubble.serial)},
            {"id", qint64{bubble.id}},
        });
    }
    const QJsonObject root{{"version", kStateVersion},
                           {"warnings", warnings},
                           {"bubbles", bubbles},
                           {"server", QString::fromStdString(state.server)}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}

Result<std::string> NotifyStateFolder() {
    const char* stateHome = std::getenv("XDG_STATE_HOME");
    std::string base;
    // A relative XDG_STATE_HOME is ignored, as XDG base directories are.
    if (stateHome != nullptr && stateHome[0] == '/') {
        base = stateHome;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] != '/') {
            return Failure{"neither XDG_STATE_HOME nor HOME names a folder for the state"};
        }
        base = std::string(home) + "/.local/state";
    }
    const std::string folder = base + "/tolvenar";
    if (Result<void> made = MakeFolders(folder); !made) {
        return made.Error();
    }
    return folder;
}
