#include "sqlacc/document_capture.h"

#include "sqlacc/business_object.h"

#include <cmath>
#include <map>

namespace {

QString upper(const std::string& name) {
    return QString::fromStdString(name).toUpper();
}

double cents(double amount) {
    return std::round(amount * 100.0) / 100.0;
}

double number(const AutoValue& value) {
    if (value.isFloat() || value.isInt())
        return value.asFloat();
    if (value.isText())
        return QString::fromStdString(value.asText()).trimmed().toDouble();
    return 0.0;
}

bool flag(const AutoValue& value) {
    if (value.isBool() || value.isInt())
        return value.asBool();
    if (value.isText())
        return QString::fromStdString(value.asText()).trimmed() == QLatin1String("T");
    return false;
}

// A discount as the package reads it: "5", "5%" or parts joined by "+" ("5%+3"), each taken
// off what the parts before it left.
double discountOf(const QString& disc, double gross) {
    double left = gross;
    for (const QString& part : disc.split(QLatin1Char('+'), Qt::SkipEmptyParts)) {
        QString term = part.trimmed();
        const bool percent = term.endsWith(QLatin1Char('%'));
        if (percent)
            term.chop(1);
        const double value = term.trimmed().toDouble();
        left -= percent ? cents(left * value / 100.0) : value;
    }
    return gross - left;
}

enum class Kind { Root, BizObjects, BizObject, DataSets, DataSet, Field, Params, Param };

} // namespace

struct DocumentCapture::State {
    AutoObjectPtr package;
    CapturedDocument document;
    QMap<QString, AutoValue> params; // Params set on the business object, by name (upper case)
    // The package's record that a routine opened to update (a document posted before): header
    // fields it did not write are read from it.
    AutoObjectPtr openedHeader;
    // The package's business objects that lookups were asked of, closed when the capture ends.
    std::map<std::string, std::unique_ptr<BusinessObject>> lookups;

    AutoObjectPtr packageObject(const std::string& name) {
        auto found = lookups.find(name);
        if (found == lookups.end())
            found = lookups.emplace(name, std::make_unique<BusinessObject>(package, name)).first;
        return found->second->get();
    }
};

namespace {

class CaptureObject : public AutoObject {
public:
    CaptureObject(std::shared_ptr<DocumentCapture::State> state, Kind kind, QString name = {},
                  QString dataSet = {})
        : state_(std::move(state)), kind_(kind), name_(std::move(name)),
          dataSet_(std::move(dataSet)) {}

    AutoValue invoke(const std::string& member, const std::vector<AutoValue>& args) override {
        const QString call = upper(member);
        switch (kind_) {
        case Kind::Root:
            if (call == QLatin1String("BIZOBJECTS"))
                return make(Kind::BizObjects);
            if (call == QLatin1String("ISLOGIN"))
                return AutoValue(true);
            return {};
        case Kind::BizObjects:
            if (call == QLatin1String("FIND") && !args.empty()) {
                state_->document.bizObject = QString::fromStdString(args[0].toText());
                return make(Kind::BizObject, state_->document.bizObject);
            }
            return {};
        case Kind::BizObject:
            if (call == QLatin1String("DATASETS"))
                return make(Kind::DataSets, name_);
            if (call == QLatin1String("PARAMS"))
                return make(Kind::Params, name_);
            if (call == QLatin1String("FINDKEYBYREF"))
                return state_->packageObject(name_.toStdString())->invoke(member, args);
            if (call == QLatin1String("OPEN"))
                openInPackage();
            return {};
        case Kind::DataSets:
            if (call == QLatin1String("FIND") && !args.empty())
                return make(Kind::DataSet, name_, upper(args[0].toText()));
            return {};
        case Kind::DataSet:
            return dataSetCall(call, args);
        case Kind::Params:
            if (call == QLatin1String("FIND") && !args.empty())
                return make(Kind::Param, name_, upper(args[0].toText()));
            return {};
        case Kind::Field:
            return read(member);
        case Kind::Param:
            return {};
        }
        return {};
    }

    void put(const std::string&, const AutoValue& value) override {
        if (kind_ == Kind::Param)
            state_->params.insert(dataSet_, value);
        if (kind_ != Kind::Field)
            return;
        if (dataSet_ == QLatin1String("MAINDATASET"))
            state_->document.header.insert(name_, value);
        else if (dataSet_ == QLatin1String("CDSDOCDETAIL") && !state_->document.lines.isEmpty())
            state_->document.lines.last().insert(name_, value);
    }

private:
    AutoValue make(Kind kind, QString name = {}, QString dataSet = {}) const {
        return AutoValue::fromObject(
            std::make_shared<CaptureObject>(state_, kind, std::move(name), std::move(dataSet)));
    }

    AutoValue dataSetCall(const QString& call, const std::vector<AutoValue>& args) {
        if (call == QLatin1String("FINDFIELD") && !args.empty()) {
            auto field = std::make_shared<CaptureObject>(state_, Kind::Field,
                                                         upper(args[0].toText()), dataSet_);
            return AutoValue::fromObject(field);
        }
        if (call == QLatin1String("APPEND") && dataSet_ == QLatin1String("CDSDOCDETAIL"))
            state_->document.lines.append(QMap<QString, AutoValue>());
        if (call == QLatin1String("LOCATE") && dataSet_ == QLatin1String("CDSKNOCKOFF")) {
            if (args.size() >= 2 && args[1].isArray() && args[1].asArray().size() >= 2)
                state_->document.knockOffs.append(CapturedDocument::KnockOff{
                    QString::fromStdString(args[1].asArray()[0].toText()),
                    QString::fromStdString(args[1].asArray()[1].toText())});
            return AutoValue(false);
        }
        return {};
    }

    // Opens the same record on the package's business object, so that what the routine reads
    // of it (to tell whether it is this very document) is the package's.
    void openInPackage() {
        state_->document.updatesExisting = true;
        const AutoObjectPtr object = state_->packageObject(name_.toStdString());
        for (auto param = state_->params.cbegin(); param != state_->params.cend(); ++param)
            setParam(object, param.key().toStdString(), param.value());
        object->invoke("Open");
        state_->openedHeader = findDataSet(object, "MainDataSet");
    }

    AutoValue read(const std::string& accessor) const {
        const CapturedDocument& document = state_->document;
        if (dataSet_ == QLatin1String("MAINDATASET")) {
            if (!document.header.contains(name_) && state_->openedHeader)
                return fieldValue(state_->openedHeader, name_.toStdString(), accessor);
            return document.header.value(name_);
        }
        if (dataSet_ == QLatin1String("CDSDOCDETAIL") && !document.lines.isEmpty())
            return document.lines.last().value(name_);
        return {};
    }

    std::shared_ptr<DocumentCapture::State> state_;
    Kind kind_;
    QString name_;    // the business object's name, or the field's
    QString dataSet_; // the dataset's name (upper case), for datasets and fields
};

} // namespace

QString CapturedDocument::text(const QMap<QString, AutoValue>& fields, const char* field) {
    const AutoValue value = fields.value(QLatin1String(field));
    if (value.isText())
        return QString::fromStdString(value.asText()).trimmed();
    if (value.isEmpty() || value.isNull() || value.isArray() || value.isObject())
        return QString();
    return QString::fromStdString(value.toText());
}

QString CapturedDocument::headerText(const char* field) const {
    return text(header, field);
}

double CapturedDocument::total(const std::function<double(const QString&)>& rateOf) const {
    if (lines.isEmpty())
        return cents(number(header.value(QStringLiteral("DOCAMT"))));
    double sum = 0;
    for (const QMap<QString, AutoValue>& line : lines) {
        const QString tax = text(line, "TAX");
        const double rate = tax.isEmpty() ? 0.0 : rateOf(tax);
        const bool taxGiven = line.contains(QStringLiteral("TAXAMT"));
        const double givenTax = number(line.value(QStringLiteral("TAXAMT")));
        double amount = 0;
        double taxAmount = 0;
        if (line.contains(QStringLiteral("AMOUNT"))) {
            amount = cents(number(line.value(QStringLiteral("AMOUNT"))));
            taxAmount = cents(taxGiven ? givenTax : amount * rate / 100.0);
        } else {
            const double priced = cents(number(line.value(QStringLiteral("QTY"))) *
                                        number(line.value(QStringLiteral("UNITPRICE"))));
            const double gross = cents(priced - discountOf(text(line, "DISC"), priced));
            if (flag(line.value(QStringLiteral("TAXINCLUSIVE")))) {
                taxAmount = cents(taxGiven ? givenTax : gross * rate / (100.0 + rate));
                amount = cents(gross - taxAmount);
            } else {
                amount = gross;
                taxAmount = cents(taxGiven ? givenTax : gross * rate / 100.0);
            }
        }
        sum += amount + taxAmount;
    }
    return cents(sum);
}

DocumentCapture::DocumentCapture(AutoObjectPtr package) : state_(std::make_shared<State>()) {
    state_->package = std::move(package);
}

DocumentCapture::~DocumentCapture() = default;

AutoValue DocumentCapture::invoke(const std::string& member, const std::vector<AutoValue>& args) {
    return CaptureObject(state_, Kind::Root).invoke(member, args);
}

void DocumentCapture::put(const std::string&, const AutoValue&) {}

void DocumentCapture::clear() {
    state_->params.clear();
    // A record opened for the document in hand is closed before the next one; objects that only
    // looked numbers up serve the next document too.
    if (state_->openedHeader)
        state_->lookups.erase(state_->document.bizObject.toStdString());
    state_->openedHeader.reset();
    state_->document = CapturedDocument();
}

const CapturedDocument& DocumentCapture::document() const {
    return state_->document;
}
