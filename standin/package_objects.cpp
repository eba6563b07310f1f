#include "standin/package_objects.h"

#include "standin/line_amounts.h"
#include "standin/package_codes.h"
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

enum class ObjectKind { Document, Party, StockItem, CodeList };

struct BizObjectInfo {
    const char* name;
    ObjectKind kind;
    const char* partyObject; // the master a document's CODE must name
    bool knockOff;
};

// Where the package documents a tariff code on every line that uses a tax code needing one:
// customer invoices, debit notes and credit notes. Elsewhere only lines without an item code.
bool tariffOnEveryLine(const QString& bizObject) {
    static const QStringList objects = {QStringLiteral("SL_IV"), QStringLiteral("SL_CN"),
                                        QStringLiteral("AR_IV"), QStringLiteral("AR_DN"),
                                        QStringLiteral("AR_CN")};
    return objects.contains(bizObject);
}

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
    {"GL_ACC", ObjectKind::CodeList, nullptr, false},
    {"TAX", ObjectKind::CodeList, nullptr, false},
    {"TERMS", ObjectKind::CodeList, nullptr, false},
    {"AREA", ObjectKind::CodeList, nullptr, false},
    {"AGENT", ObjectKind::CodeList, nullptr, false},
    {"CURRENCY", ObjectKind::CodeList, nullptr, false},
    {"PROJECT", ObjectKind::CodeList, nullptr, false},
    {"PMMETHOD", ObjectKind::CodeList, nullptr, false},
};

enum class DataSetKind { Main, Detail, KnockOff, Branch, Unit };

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
    case DataSetKind::Unit:
        return "cdsUOM";
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
    Cursor main, detail, knockOff, branch, unit;
    // DisableControls was called on the dataset and EnableControls not yet: field writes do not
    // make the package work out the line again.
    bool controlsDisabled[5] = {false, false, false, false, false};

    QString name() const { return QString::fromLatin1(info->name); }
    PackageStore& store() const { return *session->store; }
    std::string where(DataSetKind kind) const {
        return std::string(info->name) + "." + dataSetName(kind);
    }
    PackageFieldForms forms() const { return {session->build, session->buildNumber}; }

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
        case DataSetKind::Unit:
            return unit;
        }
        return main;
    }
    const FieldList& fields(DataSetKind kind) const {
        switch (kind) {
        case DataSetKind::Main:
            if (info->kind == ObjectKind::Document)
                return DocumentHeaderFields();
            if (info->kind == ObjectKind::CodeList)
                return CodeFields();
            return MasterHeaderFields();
        case DataSetKind::Detail:
            return DocumentDetailFields();
        case DataSetKind::KnockOff:
            return KnockOffFields();
        case DataSetKind::Branch:
            return BranchFields();
        case DataSetKind::Unit:
            return UnitFields();
        }
        return DocumentHeaderFields();
    }
    // The rows of a dataset other than MainDataSet: a document's lines, a party's branches and a
    // stock item's units are the record's details.
    QVector<QVariantMap>& rows(DataSetKind kind) {
        if (kind == DataSetKind::KnockOff)
            return record.knockOffs;
        ensureLines();
        return record.details;
    }
    // A document opened to be read gets its lines from the database when they are first needed.
    void ensureLines() {
        if (record.linesLoaded)
            return;
        store().loadDocumentLines(record);
        detail = Cursor{record.details.isEmpty() ? -1 : 0, detail.state};
    }
    QVariantMap* currentRow(DataSetKind kind) {
        if (mode == Mode::None)
            return nullptr;
        if (kind == DataSetKind::Main)
            return &record.header;
        if (kind == DataSetKind::KnockOff)
            listKnockOff();
        else
            ensureLines();
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
        if (mode == Mode::None)
            ++session->package->openRecords;
        mode = newMode;
        main = Cursor{0, newMode == Mode::Insert ? RowState::Insert : RowState::Browse};
        detail = Cursor{record.details.isEmpty() ? -1 : 0, RowState::Browse};
        branch = detail;
        unit = detail;
        knockOff = Cursor{};
        for (bool& disabled : controlsDisabled)
            disabled = false;
    }

    // Close (or Cancel): the record is let go.
    void endRecord() {
        if (mode != Mode::None)
            --session->package->openRecords;
        mode = Mode::None;
        record = PackageRecord();
    }
};

// What the package works out again when a line's field changes while the dataset's controls are
// enabled: a new price, quantity or discount makes it compute the amount, a new tax code or a
// switch of tax inclusion makes it compute the tax, whatever was given before. The package's
// documentation therefore has a tax-inclusive line with a given tax written with TaxInclusive
// false first and switched to true with the controls disabled.
void recalculateAfter(const PackageField& field, QVariantMap& line) {
    if (SameMemberName(field.name, "Qty") || SameMemberName(field.name, "UnitPrice") ||
        SameMemberName(field.name, "DISC"))
        line.remove(QStringLiteral("AMOUNT"));
    if (SameMemberName(field.name, "TAX") || SameMemberName(field.name, "TAXINCLUSIVE"))
        line.remove(QStringLiteral("TAXAMT"));
}

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
            QString column = field_->column();
            // Once saved, a document's DocAmt is the package's own total of it.
            if (dataSet_ == DataSetKind::Main && column == QLatin1String("DOCAMT") &&
                row->contains(QStringLiteral("DOCTOTAL")))
                column = QStringLiteral("DOCTOTAL");
            const AutoValue value = FieldValueToAuto(row->value(column));
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
        const QVariant converted =
            ConvertFieldValue(*field_, value, state_->forms(), state_->where(dataSet_));
        const QString column = field_->column();
        const bool changed = row->value(column) != converted;
        if (converted.isValid())
            row->insert(column, converted);
        else
            row->remove(column);
        if (dataSet_ == DataSetKind::Detail && changed &&
            !state_->controlsDisabled[int(DataSetKind::Detail)])
            recalculateAfter(*field_, *row);
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
            const PackageField* field =
                FindPackageField(state_->fields(kind_), fieldName, state_->forms().build);
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
        if (SameMemberName(member, "DisableControls") || SameMemberName(member, "EnableControls")) {
            expectArgs(name_, member, args, 0);
            state_->controlsDisabled[int(kind_)] = SameMemberName(member, "DisableControls");
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
            if (field.inBuild(state_->forms().build))
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
            const PackageField* field = FindPackageField(
                state_->fields(kind_), fieldName.trimmed().toStdString(), state_->forms().build);
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
            return {DataSetKind::Main, DataSetKind::Unit};
        case ObjectKind::CodeList:
            break;
        }
        return {DataSetKind::Main};
    }

    std::shared_ptr<BizState> state_;
};

// Suppliers, customers and codes are keyed by their code; documents and stock items by a number.
bool keyedByCode(const BizState& state) {
    return state.info->kind == ObjectKind::Party || state.info->kind == ObjectKind::CodeList;
}

const char* keyParamName(const BizState& state) {
    return keyedByCode(state) ? "CODE" : "DocKey";
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

QString amountText(double amount) {
    return QString::number(amount, 'f', 2);
}

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
            if (isCodeList())
                throw AutomationError(name_ + ": codes cannot be changed through automation");
            if (state_->mode == Mode::Browse) {
                state_->mode = Mode::Edit;
                state_->main.state = RowState::Edit;
            }
            return {};
        }
        if (SameMemberName(member, "Cancel") || SameMemberName(member, "Close")) {
            expectArgs(name_, member, args, 0);
            state_->endRecord();
            return {};
        }
        if (SameMemberName(member, "Save")) {
            expectArgs(name_, member, args, 0);
            save();
            return {};
        }
        if (SameMemberName(member, "FindKeyByRef")) {
            expectArgs(name_, member, args, 2);
            return findKeyByRef(args[0].toText(), args[1]);
        }
        unknownMember(member);
    }

private:
    bool isDocument() const { return state_->info->kind == ObjectKind::Document; }
    bool isCodeList() const { return state_->info->kind == ObjectKind::CodeList; }

    void startNew() {
        if (isCodeList())
            throw AutomationError(name_ + ": the stand-in package's codes are added with "
                                          "zantro-standin add-code");
        state_->endRecord();
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
        PackageRecord record;
        bool found = false;
        if (isCodeList()) {
            if (const PackageCode* code = store.code(state_->name(), state_->param)) {
                record.header.insert(QStringLiteral("CODE"), code->code);
                record.header.insert(QStringLiteral("DESCRIPTION"), code->description);
                if (state_->name() == QLatin1String("TAX")) {
                    record.header.insert(QStringLiteral("RATE"), code->rate);
                    record.header.insert(QStringLiteral("TARIFFREQUIRED"),
                                         code->tariffRequired ? QStringLiteral("T")
                                                              : QStringLiteral("F"));
                }
                found = true;
            }
        } else {
            int key = 0;
            if (state_->info->kind == ObjectKind::Party) {
                key = store.masterKey(state_->name(), state_->param);
            } else {
                bool ok = false;
                key = state_->param.toInt(&ok);
                if (!ok)
                    key = 0;
            }
            found =
                key != 0 && (isDocument() ? store.loadDocument(state_->name(), key, record, false)
                                          : store.loadMaster(state_->name(), key, record));
        }
        if (!found)
            throw AutomationError(name_ + ": record " + quoted(state_->param.toStdString()) +
                                  " not found");
        if (state_->info->kind == ObjectKind::Party && record.details.isEmpty())
            record.details.append(QVariantMap());
        state_->endRecord();
        state_->record = record;
        state_->startRecord(Mode::Browse);
    }

    AutoValue findKeyByRef(const std::string& field, const AutoValue& value) {
        PackageStore& store = state_->store();
        if (isDocument()) {
            if (SameMemberName(field, "DOCNO")) {
                const QVector<int> keys = store.documentKeys(state_->name(), qtext(value.toText()));
                if (keys.size() > 1)
                    throw AutomationError(name_ + ": document number " + quoted(value.toText()) +
                                          " is held for several suppliers: find it by "
                                          "\"DocNo;Code\"");
                return keys.isEmpty() ? AutoValue::null() : AutoValue(std::int32_t(keys.first()));
            }
            if (SameMemberName(field, "DocNo;Code")) {
                if (!value.isArray() || value.asArray().size() != 2)
                    throw AutomationError(name_ +
                                          ".FindKeyByRef: \"DocNo;Code\" takes two values, the "
                                          "number and the code");
                const int key =
                    store.documentKey(state_->name(), qtext(value.asArray()[0].toText()),
                                      qtext(value.asArray()[1].toText()));
                return key ? AutoValue(std::int32_t(key)) : AutoValue::null();
            }
            throw AutomationError(name_ + ".FindKeyByRef: unknown key field " + quoted(field));
        }
        if (!SameMemberName(field, "CODE"))
            throw AutomationError(name_ + ".FindKeyByRef: unknown key field " + quoted(field));
        const QString code = qtext(value.toText());
        if (isCodeList())
            return store.code(state_->name(), code) ? AutoValue(code.toStdString())
                                                    : AutoValue::null();
        const int key = store.masterKey(state_->name(), code);
        if (!key)
            return AutoValue::null();
        // Suppliers and customers are keyed by their code, stock items by a number.
        if (state_->info->kind == ObjectKind::Party)
            return AutoValue(code.toStdString());
        return AutoValue(std::int32_t(key));
    }

    QString headerText(const char* column) const {
        return state_->record.header.value(QLatin1String(column)).toString();
    }

    // A code the document names must be in the package's list of its kind.
    void requireCode(const char* list, const QString& code, const QString& place = QString()) {
        if (code.isEmpty() || state_->store().code(QLatin1String(list), code))
            return;
        std::string what = PackageCodeListWhat(QLatin1String(list)).toStdString();
        throw AutomationError(name_ + ": " + what + " " + quoted(code.toStdString()) +
                              " not found" + place.toStdString());
    }

    void validateDocument() {
        PackageStore& store = state_->store();
        const PackageRecord& record = state_->record;
        const QString docNo = headerText("DOCNO");
        if (docNo.isEmpty())
            throw AutomationError(name_ + ": the document number (DOCNO) is empty");
        const QString code = headerText("CODE");
        const int existing = store.documentKey(state_->name(), docNo, code);
        if (existing != 0 && existing != record.key)
            throw AutomationError(name_ + ": document number " + quoted(docNo.toStdString()) +
                                  " already exists");
        const bool supplier =
            QLatin1String(state_->info->partyObject) == QLatin1String("AP_SUPPLIER");
        if (store.masterKey(QLatin1String(state_->info->partyObject), code) == 0)
            throw AutomationError(name_ + ": " + (supplier ? "supplier" : "customer") + " code " +
                                  quoted(code.toStdString()) + " does not exist");
        requireCode("TERMS", headerText("TERMS"));
        requireCode("AREA", headerText("AREA"));
        requireCode("AGENT", headerText("AGENT"));
        requireCode("CURRENCY", headerText("CURRENCYCODE"));
        requireCode("PMMETHOD", headerText("P_PAYMENTMETHOD"));
        requireCode("PMMETHOD", headerText("PAYMENTMETHOD"));
        requireCode("PROJECT", headerText("P_PAYMENTPROJECT"));

        QStringList items;
        const bool tariffEverywhere = tariffOnEveryLine(state_->name());
        for (int i = 0; i < record.details.size(); ++i) {
            const QVariantMap& line = record.details[i];
            const QString place = QStringLiteral(" (line %1)").arg(i + 1);
            requireCode("GL_ACC", line.value(QStringLiteral("ACCOUNT")).toString(), place);
            const QString tax = line.value(QStringLiteral("TAX")).toString();
            requireCode("TAX", tax, place);
            const QString item = line.value(QStringLiteral("ITEMCODE")).toString();
            if (!item.isEmpty())
                items << item;
            const PackageCode* taxCode = tax.isEmpty() ? nullptr : store.code("TAX", tax);
            if (taxCode && taxCode->tariffRequired && (tariffEverywhere || item.isEmpty()) &&
                line.value(QStringLiteral("TARIFF")).toString().trimmed().isEmpty())
                throw AutomationError(name_ + ": tax code " + quoted(tax.toStdString()) +
                                      " needs a tariff code (TARIFF)" + place.toStdString());
        }
        const QStringList missing = store.missingMasters(QStringLiteral("ST_ITEM"), items);
        if (!missing.isEmpty())
            throw AutomationError(name_ + ": item code " + quoted(missing.first().toStdString()) +
                                  " not found (line " +
                                  std::to_string(itemLine(missing.first()) + 1) + ")");
        const double total =
            DocumentTotal(record.header, record.details,
                          [&store](const QString& tax) { return store.taxRate(tax); });
        if (total < 0)
            throw AutomationError(name_ + ": the document amount (DocAmt) " +
                                  amountText(total).toStdString() + " is below 0");
    }

    // A document of a build with e-invoice fields that does not say how it goes to MyInvois
    // takes its customer's (or supplier's) submission type, as the package does.
    void defaultSubmissionType() {
        const PackageField* field =
            FindPackageField(DocumentHeaderFields(), "SUBMISSIONTYPE", state_->forms().build);
        QVariantMap& header = state_->record.header;
        if (!field || header.contains(field->column()))
            return;
        const QVariant partyType = state_->store().masterValue(
            QLatin1String(state_->info->partyObject), headerText("CODE"), field->column());
        if (partyType.isValid() && !partyType.isNull())
            header.insert(field->column(), partyType.toInt());
    }

    int itemLine(const QString& item) const {
        const QVector<QVariantMap>& lines = state_->record.details;
        for (int i = 0; i < lines.size(); ++i)
            if (lines[i].value(QStringLiteral("ITEMCODE")).toString() == item)
                return i;
        return 0;
    }

    void validate() {
        if (isDocument()) {
            validateDocument();
            return;
        }
        PackageStore& store = state_->store();
        const PackageRecord& record = state_->record;
        const QString code = headerText("CODE");
        if (code.isEmpty())
            throw AutomationError(name_ + ": the code (CODE) is empty");
        const int existing = store.masterKey(state_->name(), code);
        if (existing != 0 && existing != record.key)
            throw AutomationError(name_ + ": code " + quoted(code.toStdString()) +
                                  " already exists");
        if (state_->info->kind == ObjectKind::StockItem) {
            bool hasUnit = false;
            for (const QVariantMap& unit : record.details)
                hasUnit =
                    hasUnit || !unit.value(QStringLiteral("UOM")).toString().trimmed().isEmpty();
            if (!hasUnit)
                throw AutomationError(name_ + ": stock item " + quoted(code.toStdString()) +
                                      " has no unit of measure (cdsUOM)");
        }
    }

    void save() {
        if (isCodeList())
            throw AutomationError(name_ + ": codes cannot be changed through automation");
        if (!state_->editing())
            throw AutomationError(name_ + ".Save: nothing to save; call New, or Open and Edit, "
                                          "first");
        state_->ensureLines(); // a save writes the lines again
        // The checks read in the save's own transaction: one commit for the whole save.
        const auto checks = [this] {
            if (isDocument())
                defaultSubmissionType();
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
        state_->unit.state = RowState::Browse;
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

// The package's profile report (Common.Agent.RO): dataset cdsProfile with the company whose
// books are open.
class ProfileFieldObject : public PackageObject {
public:
    explicit ProfileFieldObject(std::shared_ptr<Session> session)
        : PackageObject(std::move(session), "Common.Agent.RO.cdsProfile.CompanyName") {}

protected:
    AutoValue call(const std::string& member, const Args& args) override {
        if (args.empty() && (SameMemberName(member, "value") || SameMemberName(member, "AsString")))
            return AutoValue(session_->companyName.toStdString());
        unknownMember(member);
    }
};

class ProfileDataSetObject : public PackageObject {
public:
    explicit ProfileDataSetObject(std::shared_ptr<Session> session)
        : PackageObject(std::move(session), "Common.Agent.RO.cdsProfile") {}

protected:
    AutoValue call(const std::string& member, const Args& args) override {
        if (!SameMemberName(member, "FindField"))
            unknownMember(member);
        expectArgs(name_, member, args, 1);
        if (!SameMemberName(args[0].toText(), "CompanyName"))
            throw AutomationError("Field " + quoted(args[0].toText()) + " not found in " + name_ +
                                  " (fields: CompanyName)");
        return object(std::make_shared<ProfileFieldObject>(session_));
    }
};

class ProfileDataSetsObject : public PackageObject {
public:
    explicit ProfileDataSetsObject(std::shared_ptr<Session> session)
        : PackageObject(std::move(session), "Common.Agent.RO.DataSets") {}

protected:
    AutoValue call(const std::string& member, const Args& args) override {
        if (!SameMemberName(member, "Find"))
            unknownMember(member);
        expectArgs(name_, member, args, 1);
        if (!SameMemberName(args[0].toText(), "cdsProfile"))
            throw AutomationError("Dataset " + quoted(args[0].toText()) +
                                  " not found in Common.Agent.RO (datasets: cdsProfile)");
        return object(std::make_shared<ProfileDataSetObject>(session_));
    }
};

class ProfileReportObject : public PackageObject {
public:
    explicit ProfileReportObject(std::shared_ptr<Session> session)
        : PackageObject(std::move(session), "Common.Agent.RO") {}

protected:
    AutoValue call(const std::string& member, const Args& args) override {
        if (SameMemberName(member, "CalculateReport")) {
            expectArgs(name_, member, args, 0);
            return {};
        }
        if (SameMemberName(member, "DataSets") && args.empty())
            return object(std::make_shared<ProfileDataSetsObject>(session_));
        unknownMember(member);
    }
};

class ReportObjectsObject : public PackageObject {
public:
    explicit ReportObjectsObject(std::shared_ptr<Session> session)
        : PackageObject(std::move(session), "RptObjects") {}

protected:
    AutoValue call(const std::string& member, const Args& args) override {
        if (!SameMemberName(member, "Find"))
            unknownMember(member);
        expectArgs(name_, member, args, 1);
        if (!SameMemberName(args[0].toText(), "Common.Agent.RO"))
            throw AutomationError("Report object " + quoted(args[0].toText()) + " not found");
        return object(std::make_shared<ProfileReportObject>(session_));
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
            ++session_->package->logins;
            return {};
        }
        if (SameMemberName(member, "Logout")) {
            expectArgs(name_, member, args, 0);
            session_->store.reset();
            ++session_->package->logouts;
            return {};
        }
        if (!session_->store &&
            (SameMemberName(member, "BizObjects") || SameMemberName(member, "RptObjects") ||
             SameMemberName(member, "BuildNo")))
            throw AutomationError("Not logged in");
        if (SameMemberName(member, "BizObjects") && args.empty())
            return object(std::make_shared<BizObjectsObject>(session_));
        if (SameMemberName(member, "RptObjects") && args.empty())
            return object(std::make_shared<ReportObjectsObject>(session_));
        if (SameMemberName(member, "BuildNo") && args.empty())
            return AutoValue(session_->build.toStdString());
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
        session_->build = dcf.build;
        session_->buildNumber = PackageBuildNumber(dcf.build);
        session_->companyName = dcf.companyName;
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
