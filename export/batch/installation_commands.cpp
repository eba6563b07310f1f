// The batch command that checks an installation before anyone logs in: every database account
// the link connects with, and the paths of its settings file that lead outside the databases.
// An administrator runs it after moving the databases onto a server or setting up another
// workstation.
#include "config/settings_file.h"
#include "config/settings_keys.h"
#include "core/app_context.h"
#include "core/workstation.h"
#include "data/alias_file.h"
#include "data/installation_check.h"
#include "export/batch/batch_arguments.h"
#include "export/batch/batch_command.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString accountKey(const AliasCheck& check) {
    return check.administrator ? QStringLiteral("ADMIN_USER") : QStringLiteral("USER");
}

// "all 8 present and readable", or what is wrong with them.
QString tablesLine(int count, const QStringList& missing, const QStringList& unreadable) {
    if (missing.isEmpty() && unreadable.isEmpty())
        return count == 1 ? QStringLiteral("present and readable")
                          : QStringLiteral("all %1 present and readable").arg(count);
    QStringList parts;
    if (!missing.isEmpty())
        parts << QStringLiteral("missing ") + missing.join(QStringLiteral(", "));
    if (!unreadable.isEmpty())
        parts << QStringLiteral("not readable as this user ") +
                     unreadable.join(QStringLiteral(", "));
    return parts.join(QStringLiteral("; "));
}

struct SettingPath {
    QString key;
    QString path;
    bool exists = false;
    bool required = false; // a missing one is a problem, not only a note
};

QList<SettingPath> settingPaths() {
    const SettingsFile settings(SettingsFile::defaultPath());
    QList<SettingPath> paths;
    // The accounting link folder is made when stations are set up, so a fresh installation may
    // not have it yet; the package's data collection file (as the posting reads it, its default
    // when unset) must be there for any export.
    const QString ledvora = settings.read(Keys::General::LedvoraPathUnset);
    paths.append({QLatin1String(Keys::General::LedvoraPath.name), ledvora,
                  !ledvora.isEmpty() && QFileInfo(ledvora).isDir(), false});
    const QString dcf = settings.read(Keys::SqlAcc::Dcf);
    paths.append({QLatin1String(Keys::SqlAcc::Dcf.name), dcf,
                  !dcf.isEmpty() && QFileInfo(dcf).isFile(), true});
    return paths;
}

void printText(QTextStream& out, const QList<AliasCheck>& checks, const QList<SettingPath>& paths,
               int problems) {
    out << "Installation: " << native(ProgramFolder()) << " (workstation " << WorkstationName()
        << ")\n"
        << "Alias file: " << native(AliasFilePath()) << "\n\n";
    for (const AliasCheck& check : checks) {
        if (check.user.isEmpty() && !check.connected) {
            out << check.alias << ": not checked: " << check.error << '\n';
            continue;
        }
        if (!check.connected) {
            out << check.alias << ": does not connect as " << check.user << " ("
                << accountKey(check) << ") to " << check.database << ":\n  " << OneLine(check.error)
                << '\n';
            continue;
        }
        out << check.alias << ": connects as " << check.user << " (" << accountKey(check) << ") to "
            << check.database << '\n';
        out << "  database file: " << check.databaseFile;
        QStringList about;
        if (!check.engineVersion.isEmpty())
            about << QStringLiteral("Firebird ") + check.engineVersion;
        if (check.remote)
            about << QStringLiteral("on the server");
        if (check.connectedAs.compare(check.user, Qt::CaseInsensitive) != 0)
            about << QStringLiteral("database user ") + check.connectedAs;
        if (!about.isEmpty())
            out << " (" << about.join(QStringLiteral(", ")) << ')';
        out << '\n';
        if (!check.error.isEmpty()) {
            out << "  error: " << OneLine(check.error) << '\n';
            continue;
        }
        if (check.backOfficeTableCount > 0)
            out << "  back-office tables: "
                << tablesLine(check.backOfficeTableCount, check.missingTables,
                              check.unreadableTables)
                << '\n';
        if (check.linkTableCount > 0)
            out << "  tables of the link: "
                << tablesLine(check.linkTableCount, check.missingLinkTables,
                              check.unreadableLinkTables)
                << '\n';
        if (!check.unwritable.isEmpty())
            out << "  not writable as this user: " << check.unwritable.join(QStringLiteral(", "))
                << '\n';
    }
    out << "\nLedvora.ini:\n";
    for (const SettingPath& path : paths)
        out << "  " << path.key << ": "
            << (path.path.isEmpty() ? QStringLiteral("(not set)") : native(path.path))
            << (path.path.isEmpty() ? QString()
                : path.exists       ? QStringLiteral(" (found)")
                                    : QStringLiteral(" (not found)"))
            << '\n';
    out << '\n'
        << (problems == 0 ? QStringLiteral("Everything is in place.")
                          : QStringLiteral("Problems found: %1").arg(problems))
        << '\n';
}

QJsonObject checkJson(const AliasCheck& check) {
    QJsonObject object{
        {QStringLiteral("alias"), check.alias},   {QStringLiteral("account"), accountKey(check)},
        {QStringLiteral("user"), check.user},     {QStringLiteral("database"), check.database},
        {QStringLiteral("server"), check.remote}, {QStringLiteral("connected"), check.connected},
        {QStringLiteral("ok"), check.ok()}};
    if (!check.error.isEmpty())
        object.insert(QStringLiteral("error"), check.error);
    if (check.connected) {
        object.insert(QStringLiteral("databaseFile"), check.databaseFile);
        object.insert(QStringLiteral("connectedAs"), check.connectedAs);
        object.insert(QStringLiteral("engineVersion"), check.engineVersion);
        object.insert(QStringLiteral("missingLinkTables"),
                      QJsonArray::fromStringList(check.missingLinkTables));
        object.insert(QStringLiteral("missingTables"),
                      QJsonArray::fromStringList(check.missingTables));
        object.insert(QStringLiteral("unreadableTables"),
                      QJsonArray::fromStringList(check.unreadableTables));
        object.insert(QStringLiteral("unreadableLinkTables"),
                      QJsonArray::fromStringList(check.unreadableLinkTables));
        object.insert(QStringLiteral("unwritable"), QJsonArray::fromStringList(check.unwritable));
    }
    return object;
}

int checkInstallation(QTextStream& out, bool json) {
    const QList<AliasCheck> checks = CheckInstallationAliases();
    const QList<SettingPath> paths = settingPaths();
    int problems = 0;
    for (const AliasCheck& check : checks)
        problems += check.ok() ? 0 : 1;
    for (const SettingPath& path : paths)
        problems += path.required && !path.exists ? 1 : 0;
    if (json) {
        QJsonArray aliases;
        for (const AliasCheck& check : checks)
            aliases.append(checkJson(check));
        QJsonObject settings;
        for (const SettingPath& path : paths)
            settings.insert(path.key, QJsonObject{{QStringLiteral("path"), path.path},
                                                  {QStringLiteral("found"), path.exists}});
        out << QJsonDocument(QJsonObject{{QStringLiteral("installation"), ProgramFolder()},
                                         {QStringLiteral("workstation"), WorkstationName()},
                                         {QStringLiteral("aliasFile"), AliasFilePath()},
                                         {QStringLiteral("aliases"), aliases},
                                         {QStringLiteral("settings"), settings},
                                         {QStringLiteral("problems"), problems}})
                   .toJson(QJsonDocument::Indented);
    } else {
        printText(out, checks, paths, problems);
    }
    out.flush();
    return problems == 0 ? BatchDone : BatchFailed;
}

BatchCommand::RunWithoutLogin parseCheckInstallation(const QStringList& words) {
    const BatchArguments arguments(words, {}, {QStringLiteral("json")});
    if (!arguments.positional().isEmpty())
        throw UsageError(
            QStringLiteral("unexpected argument \"%1\"").arg(arguments.positional().first()));
    const bool json = arguments.flag(QStringLiteral("json"));
    return [json](QTextStream& out) { return checkInstallation(out, json); };
}

} // namespace

BatchCommand CheckInstallationCommand() {
    BatchCommand command{
        QStringLiteral("check-installation"),
        QStringLiteral("check-installation [--json]"),
        QStringLiteral(
            "Checks the installation without logging in: for each database alias the link uses\n"
            "(ZantSys, ZantStk, ZantApp, ARDB with their USER, ZantHis with its ADMIN_USER),\n"
            "whether it connects, as which user, to which database file, which back-office\n"
            "tables and tables of the link are missing or not readable to that user, and what\n"
            "the link writes (export flags, generated codes, its own tables) that the user may\n"
            "not; then the paths of Ledvora.ini that lead to the accounting link folder\n"
            "(LEDVORA_PATH) and to the package's data collection file (DCF). Nothing is created\n"
            "or changed; the link creates its missing tables itself when it next opens the stock\n"
            "database (ZantStk) or exports receivable documents (ARDB). Status 0 when everything\n"
            "is in place, 1 otherwise.\n"
            "--json prints the report as JSON."),
        {}};
    command.parseWithoutLogin = parseCheckInstallation;
    return command;
}
