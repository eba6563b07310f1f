#include "standin/package_objects.h"

#include "standin/package_fields.h"
#include "standin/package_setup.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <vector>

namespace standin_detail {

void RememberOpenStores(const std::shared_ptr<PackageShared>& package);
namespace {

using Args = std::vector<AutoValue>;

enum class ObjectKind { Document, Party, StockItem };

struct BizObjectInfo {
    const char* name;
    ObjectKind kind;
    const char* partyObject; // the master a document's CODE must name
    bool knockOff;
};

const BizObjectInfo kBizObjects[] = {
    {"SL_CS", ObjectKind::Document, "AR_CUSTOMER", false},
    {"SL_IV", ObjectKind::Document, "AR_CUSTOMER", false},
    {"SL_CN", ObjectKind::Document, "AR_CUSTOMER", false},
    {"PH_PI", ObjectKind::Document, "AP_SUPPLIER", false},
    {"PH_SC", ObjectKind::Document, "AP_SUPPLIER", false},
    {"AR_IV", ObjectKind::Document, "AR_CUSTOMER", false},
    {"AR_DN", ObjectKind::Document, "AR_CUSTOMER", false},
    {"AR_CN", ObjectKind::Document, "AR_CUSTOMER", true},
    {"AR_PM", ObjectKind::Document, "AR_CUSTOMER", true},
    {"AP_SUPPLIER", ObjectKind::Party, nullptr, false},
    {"AR_CUSTOMER", ObjectKind::Party, nullptr, false},
    {"ST_ITEM", ObjectKind::StockItem, nullptr, false},
};

enum class DataSetKind { Main, Detail, KnockOff, Branch };

const char* dataSetName(DataSetKind kind) {
    switch (kind) {
    case DataSetKind::Main:
        return "MainDataSet";
    case DataSetKind::Detail:
        return "cdsDocDetail";
    case DataSetKind::KnockOff:
        return "cdsKnockOff";
    case DataSetKind::Branch:
        return "cdsBranch";
    }
    return "";
}

enum class Mode { None, Browse, Edit, Insert };
enum class RowState { Browse, Edit, Insert };

struct Cursor {
    int current = -1;
    RowState state = RowState::Browse;
};

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

QString qtext(const std::string& text) {
    return QString::fromStdString(text);
}

void expectArgs(const std::string& owner, const std::string& member, const Args& args,
                std::size_t count) {
    if (args.size() != count)
        throw AutomationError(owner + "." + member + " expects " + std::to_string(count) +
                              " argument(s), not " + std::to_string(args.size()));
}

// Every object of the package: counts calls against the faults, then carries them out.
class PackageObject : public AutoObject {
public:
    PackageObject(std::shared_ptr<Session> session, std::string name)
        : session_(std::move(session)), name_(std::move(name)) {}

    AutoValue invoke(const std::string& member, const Args& args) override {
        if (!faultLater(member))
            session_->package->faults.check(member);
        return call(member, args);
    }
    void put(const std::string& property, const AutoValue& value) override {
        session_->package->faults.check(property);
        write(property, value);
    }

protected:
    virtual AutoValue call(const std::string& member, const Args& args) = 0;
    virtual void write(const std::string& property, const AutoValue&) {
        throw AutomationError(name_ + " has no property " + property + " to write");
    }
    virtual bool faultLater(const std::string&) const { return false; }
    [[noreturn]] void unknownMember(const std::string& member) const {
        throw AutomationError(name_ + " has no member " + member);
    }
    AutoValue object(AutoObjectPtr object) const {
        return AutoValue::fromObject(std::move(object));
    }

    std::shared_ptr<Session> session_;
    std::string name_;
};

// The record a business object is working on, shared with its datasets, fields and params.
struct BizState {
    std::shared_ptr<Session> session;
    const BizObjectInfo* info = nullptr;
    Mode mode = Mode::None;
    PackageRecord record;
    QString param; // the key parameter's value for Open
    Cursor main, detail, knockOff, branch;

    QString name() const { return QString::fromLatin1(info->name); }
    PackageStore& store() const { return *session->store; }
    std::string where(DataSetKind kind) const {
        return std::string(info->name) + "." + dataSetName(kind);
    }

    Cursor& cursor(DataSetKind kind) {
        switch (kind) {
        case DataSetKind::Main:
            return main;
        case DataSetKind::Detail:
            return detail;
        case DataSetKind::KnockOff:
            return knockOff;
        case DataSetKind::Branch:
            return branch;
        }
        return main;
    }
    const FieldList& fields(DataSetKind kind) const {
        switch (kind) {
        case DataSetKind::Main:
            return info->kind == ObjectKind::Document ? DocumentHeaderFields()
                                                      : MasterHeaderFields();
        case DataSetKind::Detail:
            return DocumentDetailFields();
        case DataSetKind::KnockOff:
            return KnockOffFields();
        case DataSetKind::Branch:
            return BranchFields();
        }
        return DocumentHeaderFields();
    }
    // The rows of a dataset other than MainDataSet.
    QVector<QVariantMap>& rows(DataSetKind kind) {
        return kind == DataSetKind::KnockOff ? record.knockOffs : record.details;
    }
    QVariantMap* currentRow(DataSetKind kind) {
        if (mode == Mode::None)
            return nullptr;
        if (kind == DataSetKind::Main)
            return &record.header;
        if (kind == DataSetKind::KnockOff)
            listKnockOff();
        const int current = cursor(kind).current;
        QVector<QVariantMap>& list = rows(kind);
        return current >= 0 && current < list.size() ? &list[current] : nullptr;
    }
    bool editing() const { return mode == Mode::Edit || mode == Mode::Insert; }
    void requireEditing(DataSetKind kind) const {
        if (!editing())
            throw AutomationError(where(kind) +
                                  " cannot be changed: call New, or Open and Edit, "
                                  "on " +
                                  info->name + " first");
    }

    // The customer's open documents, made when first needed and again when CODE changed.
    void listKnockOff() {
        const QString code = record.header.value(QStringLiteral("CODE")).toString();
        if (record.knockOffListed && record.knockOffCode == code)
            return;
        record.knockOffs =
            code.isEmpty() ? QVector<QVariantMap>() : store().openDocuments(code, record.key);
        record.knockOffListed = true;
        record.knockOffCode = code;
        knockOff = Cursor{record.knockOffs.isEmpty() ? -1 : 0, RowState::Browse};
    }

    void startRecord(Mode newMode) {
        mode = newMode;
        main = Cursor{0, newMode == Mode::Insert ? RowState::Insert : RowState::Browse};
        detail = Cursor{record.details.isEmpty() ? -1 : 0, RowState::Browse};
        branch = detail;
        knockOff = Cursor{};
    }
};

class FieldObject : public PackageObject {
public:
    FieldObject(std::shared_ptr<BizState> state, DataSetKind dataSet, const PackageField* field)
        : PackageObject(state->session, state->where(dataSet) + "." + field->name),
          state_(std::move(state)), dataSet_(dataSet), field_(field) {}

protected:
    AutoValue call(const std::string& member, const Args& args) override {
        if (args.empty() &&
            (SameMemberName(member, "value") || SameMemberName(member, "AsString") ||
             SameMemberName(member, "AsFloat"))) {
            const QVariantMap* row = state_->currentRow(dataSet_);
            if (!row)
                throw AutomationError(state_->where(dataSet_) + " has no current row");
            const AutoValue value = FieldValueToAuto(row->value(field_->column()));
            if (SameMemberName(member, "AsString"))
                return value.isNull() ? AutoValue("") : AutoValue(value.toText());
            if (SameMemberName(member, "AsFloat"))
                return value.isNull() ? AutoValue(0.0) : AutoValue(value.asFloat());
            return value;
        }
        unknownMember(member);
    }

    void write(const std::string& property, const AutoValue& value) override {
        if (!SameMemberName(property, "value") && !SameMemberName(property, "AsString") &&
            !SameMemberName(property, "AsFloat"))
            PackageObject::write(property, value);
        if (field_->kind == FieldKind::ReadOnly)
            throw AutomationError("Field " + std::string(field_->name) + " of " +
                                  state_->where(dataSet_) + " is read-only");
        state_->requireEditing(dataSet_);
        QVariantMap* row = state_->currentRow(dataSet_);
        if (!row)
            throw AutomationError(state_->where(dataSet_) + " has no current row");
        if (state_->cursor(dataSet_).state == RowState::Browse)
            throw AutomationError(state_->where(dataSet_) + " is not in edit or insert mode");
        if (field_->kind == FieldKind::Key)
            return; // the package numbers its records itself
        const QVariant converted = ConvertFieldValue(*field_, value);
        if (converted.isValid())
            row->insert(field_->column(), converted);
        else
            row->remove(field_->column());
    }

private:
    std::shared_ptr<BizState> state_;
    DataSetKind dataSet_;
    const PackageField* field_;
};

class DataSetObject : public PackageObject {
public:
    DataSetObject(std::shared_ptr<BizState> state, DataSetKind kind)
        : PackageObject(state->session, state->where(kind)), state_(std::move(state)), kind_(kind) {
    }

protected:
    AutoValue call(const std::string& member, const Args& args) override {
        if (SameMemberName(member, "FindField")) {
            expectArgs(name_, member, args, 1);
            const std::string fieldName = args[0].toText();
            const PackageField* field = FindPackageField(state_->fields(kind_), fieldName);
            if (!field)
                throw AutomationError("Field " + quoted(fieldName) + " not found in " + name_ +
                                      " (fields: " + fieldList() + ")");
            return object(std::make_shared<FieldObject>(state_, kind_, field));
        }
        if (SameMemberName(member, "Append")) {
            expectArgs(name_, member, args, 0);
            if (kind_ == DataSetKind::Main || kind_ == DataSetKind::KnockOff)
                throw AutomationError("Rows cannot be appended to " + name_);
            state_->requireEditing(kind_);
            post();
            state_->rows(kind_).append(QVariantMap());
            state_->cursor(kind_) = Cursor{int(state_->rows(kind_).size()) - 1, RowState::Insert};
            return {};
        }
        if (SameMemberName(member, "Edit")) {
            expectArgs(name_, member, args, 0);
            state_->requireEditing(kind_);
            if (!state_->currentRow(kind_))
                throw AutomationError(name_ + " has no current row to edit");
            Cursor& cursor = state_->cursor(kind_);
            if (cursor.state == RowState::Browse)
                cursor.state = RowState::Edit;
            return {};
        }
        if (SameMemberName(member, "Post")) {
            expectArgs(name_, member, args, 0);
            post();
            return {};
        }
        if (SameMemberName(member, "Cancel")) {
            expectArgs(name_, member, args, 0);
            state_->cursor(kind_).state = RowState::Browse;
            return {};
        }
        if (SameMemberName(member, "Locate")) {
            if (args.size() < 2)
                throw AutomationError(name_ + ".Locate expects field names and values");
            return locate(args[0].toText(), args[1]);
        }
        if (SameMemberName(member, "RecordCount")) {
            expectArgs(name_, member, args, 0);
            if (state_->mode == Mode::None)
                return std::int32_t{0};
            if (kind_ == DataSetKind::Main)
                return std::int32_t{1};
            if (kind_ == DataSetKind::KnockOff)
                state_->listKnockOff();
            return static_cast<std::int32_t>(state_->rows(kind_).size());
        }
        unknownMember(member);
    }

private:
    void post() { state_->cursor(kind_).state = RowState::Browse; }

    std::string fieldList() const {
        std::string list;
        for (const PackageField& field : state_->fields(kind_))
            list += (list.empty() ? "" : ", ") + std::string(field.name);
        return list;
    }

    AutoValue locate(const std::string& names, const AutoValue& values) {
        const QStringList fieldNames = qtext(names).split(QLatin1Char(';'));
        std::vector<AutoValue> wanted =
            values.isArray() ? values.asArray() : std::vector<AutoValue>{values};
        if (wanted.size() != std::size_t(fieldNames.size()))
            throw AutomationError(name_ + ".Locate: " + std::to_string(fieldNames.size()) +
                                  " field(s) but " + std::to_string(wanted.size()) + " value(s)");
        QStringList columns;
        for (const QString& fieldName : fieldNames) {
            const PackageField* field =
                FindPackageField(state_->fields(kind_), fieldName.trimmed().toStdString());
            if (!field)
                throw AutomationError("Field " + quoted(fieldName.toStdString()) +
                                      " not found in " + name_);
            columns << field->column();
        }
        if (state_->mode == Mode::None)
            return false;
        if (kind_ == DataSetKind::Main)
            return matches(state_->record.header, columns, wanted);
        if (kind_ == DataSetKind::KnockOff)
            state_->listKnockOff();
        post();
        const QVector<QVariantMap>& rows = state_->rows(kind_);
        for (int i = 0; i < rows.size(); ++i) {
            if (matches(rows[i], columns, wanted)) {
                state_->cursor(kind_).current = i;
                return true;
            }
        }
        return false;
    }

    static bool matches(const QVariantMap& row, const QStringList& columns,
                        const std::vector<AutoValue>& wanted) {
        for (int i = 0; i < columns.size(); ++i) {
            const AutoValue stored = FieldValueToAuto(row.value(columns[i]));
            if (stored.isNull() || stored.toText() != wanted[std::size_t(i)].toText())
                return false;
        }
        return true;
    }

    std::shared_ptr<BizState> state_;
    DataSetKind kind_;
};

class DataSetsObject : public PackageObject {
public:
    explicit DataSetsObject(std::shared_ptr<BizState> state)
        : PackageObject(state->session, std::string(state->info->name) + ".DataSets"),
          state_(std::move(state)) {}

protected:
    AutoValue call(const std::string& member, const Args& args) override {
        if (!SameMemberName(member, "Find"))
            unknownMember(member);
        expectArgs(name_, member, args, 1);
        const std::string wanted = args[0].toText();
        for (DataSetKind kind : available()) {
            if (SameMemberName(dataSetName(kind), wanted))
                return object(std::make_shared<DataSetObject>(state_, kind));
        }
        std::string names;
        for (DataSetKind kind : available())
            names += (names.empty() ? "" : ", ") + std::string(dataSetName(kind));
        throw AutomationError("Dataset " + quoted(wanted) + " not found in " + state_->info->name +
                              " (datasets: " + names + ")");
    }

private:
    std::vector<DataSetKind> available() const {
        switch (state_->info->kind) {
        case ObjectKind::Document:
            if (state_->info->knockOff)
                return {DataSetKind::Main, DataSetKind::Detail, DataSetKind::KnockOff};
            return {DataSetKind::Main, DataSetKind::Detail};
        case ObjectKind::Party:
            return {DataSetKind::Main, DataSetKind::Branch};
        case ObjectKind::StockItem:
            break;
        }
        return {DataSetKind::Main};
    }

    std::shared_ptr<BizState> state_;
};

const char* keyParamName(const BizState& state) {
    return state.info->kind == ObjectKind::Party ? "CODE" : "DocKey";
}

class ParamObject : public PackageObject {
public:
    explicit ParamObject(std::shared_ptr<BizState> state)
        : PackageObject(state->session,
                        std::string(state->info->name) + ".Params." + keyParamName(*state)),
          state_(std::move(state)) {}

protected:
    AutoValue call(const std::string& member, const Args& args) override {
        if (args.empty() && (SameMemberName(member, "Value") || SameMemberName(member, "AsString")))
            return TextOf(state_->param);
        unknownMember(member);
    }
    void write(const std::string& property, const AutoValue& value) override {
        if (!SameMemberName(property, "Value") && !SameMemberName(property, "AsString"))
            PackageObject::write(property, value);
        state_->param = qtext(value.toText());
    }

private:
    static AutoValue TextOf(const QString& text) { return AutoValue(text.toStdString()); }
    std::shared_ptr<BizState> state_;
};

class ParamsObject : public PackageObject {
public:
    explicit ParamsObject(std::shared_ptr<BizState> state)
        : PackageObject(state->session, std::string(state->info->name) + ".Params"),
          state_(std::move(state)) {}

protected:
    AutoValue call(const std::string& member, const Args& args) override {
        if (!SameMemberName(member, "Find"))
            unknownMember(member);
        expectArgs(name_, member, args, 1);
        const std::string wanted = args[0].toText();
        if (!SameMemberName(wanted, keyParamName(*state_)))
            throw AutomationError("Parameter " + quoted(wanted) + " not found in " +
                                  state_->info->name + " (parameters: " + keyParamName(*state_) +
                                  ")");
        return object(std::make_shared<ParamObject>(state_));
    }

private:
    std::shared_ptr<BizState> state_;
};

class BizObjectObject : public PackageObject {
public:
    BizObjectObject(std::shared_ptr<Session> session, const BizObjectInfo* info)
        : PackageObject(session, info->name), state_(std::make_shared<BizState>()) {
        state_->session = std::move(session);
        state_->info = info;
    }

protected:
    bool faultLater(const std::string& member) const override {
        return SameMemberName(member, "Save");
    }

    AutoValue call(const std::string& member, const Args& args) override {
        if (SameMemberName(member, "DataSets") && args.empty())
            return object(std::make_shared<DataSetsObject>(state_));
        if (SameMemberName(member, "Params") && args.empty())
            return object(std::make_shared<ParamsObject>(state_));
        if (SameMemberName(member, "New")) {
            expectArgs(name_, member, args, 0);
            startNew();
            return {};
        }
        if (SameMemberName(member, "Open")) {
            expectArgs(name_, member, args, 0);
            open();
            return {};
        }
        if (SameMemberName(member, "Edit")) {
            expectArgs(name_, member, args, 0);
            if (state_->mode == Mode::None)
                throw AutomationError(name_ + ".Edit: no record is open");
            if (state_->mode == Mode::Browse) {
                state_->mode = Mode::Edit;
                state_->main.state = RowState::Edit;
            }
            return {};
        }
        if (SameMemberName(member, "Cancel")) {
            expectArgs(name_, member, args, 0);
            state_->mode = Mode::None;
            state_->record = PackageRecord();
            return {};
        }
        if (SameMemberName(member, "Save")) {
            expectArgs(name_, member, args, 0);
            save();
            return {};
        }
        if (SameMemberName(member, "FindKeyByRef")) {
            expectArgs(name_, member, args, 2);
            return findKeyByRef(args[0].toText(), qtext(args[1].toText()));
        }
        unknownMember(member);
    }

private:
    bool isDocument() const { return state_->info->kind == ObjectKind::Document; }

    void startNew() {
        state_->record = PackageRecord();
        // A new supplier or customer comes with its first branch, ready to be edited.
        if (state_->info->kind == ObjectKind::Party)
            state_->record.details.append(QVariantMap());
        state_->startRecord(Mode::Insert);
    }

    void open() {
        if (state_->param.isEmpty())
            throw AutomationError(name_ + ".Open: set the parameter " + keyParamName(*state_) +
                                  " first");
        PackageStore& store = state_->store();
        int key = 0;
        if (state_->info->kind == ObjectKind::Party) {
            key = store.masterKey(state_->name(), state_->param);
        } else {
            bool ok = false;
            key = state_->param.toInt(&ok);
            if (!ok)
                key = 0;
        }
        PackageRecord record;
        const bool found =
            key != 0 && (isDocument() ? store.loadDocument(state_->name(), key, record)
                                      : store.loadMaster(state_->name(), key, record));
        if (!found)
            throw AutomationError(name_ + ": record " + quoted(state_->param.toStdString()) +
                                  " not found");
        if (state_->info->kind == ObjectKind::Party && record.details.isEmpty())
            record.details.append(QVariantMap());
        state_->record = record;
        state_->startRecord(Mode::Browse);
    }

    AutoValue findKeyByRef(const std::string& field, const QString& value) {
        PackageStore& store = state_->store();
        if (isDocument()) {
            if (!SameMemberName(field, "DOCNO"))
                throw AutomationError(name_ + ".FindKeyByRef: unknown key field " + quoted(field));
            const int key = store.documentKey(state_->name(), value);
            return key ? AutoValue(std::int32_t(key)) : AutoValue::null();
        }
        if (!SameMemberName(field, "CODE"))
            throw AutomationError(name_ + ".FindKeyByRef: unknown key field " + quoted(field));
        const int key = store.masterKey(state_->name(), value);
        if (!key)
            return AutoValue::null();
        // Suppliers and customers are keyed by their code, stock items by a number.
        if (state_->info->kind == ObjectKind::Party)
            return AutoValue(value.toStdString());
        return AutoValue(std::int32_t(key));
    }

    QString headerText(const char* column) const {
        return state_->record.header.value(QLatin1String(column)).toString();
    }

    void validate() {
        PackageStore& store = state_->store();
        const PackageRecord& record = state_->record;
        if (isDocument()) {
            const QString docNo = headerText("DOCNO");
            if (docNo.isEmpty())
                throw AutomationError(name_ + ": the document number (DOCNO) is empty");
            const int existing = store.documentKey(state_->name(), docNo);
            if (existing != 0 && existing != record.key)
                throw AutomationError(name_ + ": document number " + quoted(docNo.toStdString()) +
                                      " already exists");
            const QString code = headerText("CODE");
            const bool supplier =
                QLatin1String(state_->info->partyObject) == QLatin1String("AP_SUPPLIER");
            if (store.masterKey(QLatin1String(state_->info->partyObject), code) == 0)
                throw AutomationError(name_ + ": " + (supplier ? "supplier" : "customer") +
                                      " code " + quoted(code.toStdString()) + " does not exist");
            return;
        }
        const QString code = headerText("CODE");
        if (code.isEmpty())
            throw AutomationError(name_ + ": the code (CODE) is empty");
        const int existing = store.masterKey(state_->name(), code);
        if (existing != 0 && existing != record.key)
            throw AutomationError(name_ + ": code " + quoted(code.toStdString()) +
                                  " already exists");
    }

    void save() {
        if (!state_->editing())
            throw AutomationError(name_ + ".Save: nothing to save; call New, or Open and Edit, "
                                          "first");
        // The checks read in the save's own transaction: one commit for the whole save.
        const auto checks = [this] {
            // Knock-offs already saved stay unless the list says otherwise.
            if (state_->info->knockOff)
                state_->listKnockOff();
            validate();
        };
        const auto beforeCommit = [this] { session_->package->faults.check("Save"); };
        if (isDocument())
            state_->store().saveDocument(state_->name(), state_->record, checks, beforeCommit);
        else
            state_->store().saveMaster(state_->name(), state_->record, checks, beforeCommit);
        state_->main.state = RowState::Browse;
        state_->detail.state = RowState::Browse;
        state_->branch.state = RowState::Browse;
        state_->knockOff.state = RowState::Browse;
        state_->mode = Mode::Browse;
    }

    std::shared_ptr<BizState> state_;
};

class BizObjectsObject : public PackageObject {
public:
    explicit BizObjectsObject(std::shared_ptr<Session> session)
        : PackageObject(std::move(session), "BizObjects") {}

protected:
    AutoValue call(const std::string& member, const Args& args) override {
        if (!SameMemberName(member, "Find"))
            unknownMember(member);
        expectArgs(name_, member, args, 1);
        const std::string wanted = args[0].toText();
        for (const BizObjectInfo& info : kBizObjects) {
            if (SameMemberName(info.name, wanted))
                return object(std::make_shared<BizObjectObject>(session_, &info));
        }
        throw AutomationError("Business object " + quoted(wanted) + " not found");
    }
};

class ApplicationObject : public PackageObject {
public:
    explicit ApplicationObject(std::shared_ptr<Session> session)
        : PackageObject(std::move(session), "BizApp") {}

protected:
    AutoValue call(const std::string& member, const Args& args) override {
        if (SameMemberName(member, "IsLogin")) {
            expectArgs(name_, member, args, 0);
            return session_->store != nullptr;
        }
        if (SameMemberName(member, "Login")) {
            expectArgs(name_, member, args, 4);
            login(qtext(args[0].toText()), qtext(args[1].toText()), qtext(args[2].toText()),
                  qtext(args[3].toText()));
            return {};
        }
        if (SameMemberName(member, "Logout")) {
            expectArgs(name_, member, args, 0);
            session_->store.reset();
            return {};
        }
        if (SameMemberName(member, "BizObjects") && args.empty()) {
            if (!session_->store)
                throw AutomationError("Not logged in");
            return object(std::make_shared<BizObjectsObject>(session_));
        }
        unknownMember(member);
    }

private:
    void login(const QString& user, const QString& password, const QString& dcfPath,
               const QString& databaseFile) {
        const PackageDcf dcf = ReadPackageDcf(dcfPath);
        if (!PackageUserAccepted(dcf, user, password))
            throw AutomationError("Login failed: invalid user name or password");
        const AliasTarget target = PackageDatabaseTarget(dcf, databaseFile);
        // A database on a server is not a file here: the server refuses a missing one itself.
        if (databaseFile.trimmed().isEmpty() ||
            (!target.remote && !QFileInfo(target.database).isFile()))
            throw AutomationError("Database file not found: " + target.database.toStdString());
        session_->store = openStore(target);
    }

    std::shared_ptr<PackageStore> openStore(const AliasTarget& target) {
        auto& stores = session_->package->openStores;
        const QString key = target.database + QLatin1Char('|') + target.user;
        if (auto found = stores.find(key); found != stores.end())
            return found->second;
        auto store = std::make_shared<PackageStore>(target);
        store->open();
        stores.emplace(key, store);
        RememberOpenStores(session_->package);
        return store;
    }
};

} // namespace

namespace {

std::vector<std::weak_ptr<PackageShared>>& packagesWithOpenStores() {
    static std::vector<std::weak_ptr<PackageShared>> packages;
    return packages;
}

} // namespace

void RememberOpenStores(const std::shared_ptr<PackageShared>& package) {
    auto& packages = packagesWithOpenStores();
    for (const auto& known : packages)
        if (known.lock() == package)
            return;
    if (packages.empty() && QCoreApplication::instance())
        qAddPostRoutine(CloseOpenPackageDatabases); // before the database driver goes away
    packages.push_back(package);
}

void CloseOpenPackageDatabases() {
    for (const auto& known : packagesWithOpenStores())
        if (auto package = known.lock())
            package->openStores.clear();
    packagesWithOpenStores().clear();
}

AutoObjectPtr CreateApplicationObject(std::shared_ptr<PackageShared> package) {
    if (!package->faultSetupError.empty())
        throw AutomationError(package->faultSetupError);
    auto session = std::make_shared<Session>();
    session->package = std::move(package);
    return std::make_shared<ApplicationObject>(std::move(session));
}

} // namespace standin_detail
