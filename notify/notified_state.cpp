#include "notify/notified_state.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>
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

bool ParseEntry(const QJsonValue& value, NotifiedWarning& entry) {
    const QJsonObject object = value.toObject();
    const QJsonValue attribute = object.value("attribute");
    const QJsonValue figure = object.value("value");
    if (!value.isObject() || !object.value("model").isString() ||
        !object.value("serial").isString() || !attribute.isDouble() || !figure.isDouble() ||
        !NameToKind(object.value("kind").toString(), entry.kind)) {
        return false;
    }
    entry.model = object.value("model").toString().toStdString();
    entry.serial = object.value("serial").toString().toStdString();
    entry.attributeId = attribute.toInt(-1);
    // JSON numbers are doubles: counts beyond 2^53 lose their last digits,
    // which at worst repeats one notification.
    entry.value = static_cast<std::int64_t>(figure.toDouble());
    return entry.attributeId >= 0;
}

// mkdir -p with mode 0700 for what it creates.
bool MakeFolders(const std::string& path, std::string& problem) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            problem = part + ": " + std::strerror(errno);
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        problem = path + ": not a folder";
        return false;
    }
    return true;
}

} // namespace

bool ParseNotifiedState(const std::string& text, std::vector<NotifiedWarning>& entries) {
    entries.clear();
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    const QJsonObject root = document.object();
    if (error.error != QJsonParseError::NoError || !document.isObject() ||
        root.value("version").toInt() != kStateVersion || !root.value("warnings").isArray()) {
        return false;
    }
    for (const QJsonValue& value : root.value("warnings").toArray()) {
        NotifiedWarning entry;
        if (!ParseEntry(value, entry)) {
            entries.clear();
            return false;
        }
        entries.push_back(entry);
    }
    return true;
}

std::string FormatNotifiedState(const std::vector<NotifiedWarning>& entries) {
    QJsonArray warnings;
    for (const NotifiedWarning& entry : entries) {
        warnings.append(QJsonObject{
            {"model", QString::fromStdString(entry.model)},
            {"serial", QString::fromStdString(entry.serial)},
            {"kind", QLatin1String(KindToName(entry.kind))},
            {"attribute", entry.attributeId},
            {"value", static_cast<double>(entry.value)},
        });
    }
    const QJsonObject root{{"version", kStateVersion}, {"warnings", warnings}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}

std::string NotifyStateFolder(std::string& problem) {
    const char* stateHome = std::getenv("XDG_STATE_HOME");
    std::string base;
    // A relative XDG_STATE_HOME is ignored, as XDG base directories are.
    if (stateHome != nullptr && stateHome[0] == '/') {
        base = stateHome;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] != '/') {
            problem = "neither XDG_STATE_HOME nor HOME names a folder for the state";
            return std::string();
        }
        base = std::string(home) + "/.local/state";
    }
    const std::string folder = base + "/tolvenar";
    return MakeFolders(folder, problem) ? folder : std::string();
}
