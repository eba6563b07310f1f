#include "config/ui/preferences_dialog.h"

#include "config/account_type_lock.h"
#include "config/accounting_year.h"
#include "config/settings_file.h"
#include "config/ui/dialog_buttons.h"
#include "config/ui/optional_date_edit.h"
#include "config/ui/window_layout.h"
#include "core/action_guard.h"
#include "data/dm_polling.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include <memory>

namespace {

namespace U = Keys::Ubs;
namespace A = Keys::AutoCount;
namespace T = Keys::AccTrak21;
namespace P = Keys::AccPac;
namespace S = Keys::SqlAcc;
namespace E = Keys::Emas;

QCheckBox* checkBox(const QString& name, const QString& caption) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(name);
    return box;
}

// Periods 1 to 18. A period that could not be loaded shows blank (the value 0) until the user
// sets one.
void showPeriod(QSpinBox* spin, const std::optional<int>& period) {
    if (period) {
        spin->setSpecialValueText(QString());
        spin->setMinimum(1);
        spin->setValue(*period);
    } else {
        spin->setMinimum(0);
        spin->setSpecialValueText(QStringLiteral(" "));
        spin->setValue(0);
    }
}

std::optional<int> periodOf(const QSpinBox* spin) {
    if (spin->value() == 0)
        return std::nullopt;
    return spin->value();
}

QSpinBox* periodSpin(const QString& name) {
    auto* spin = new QSpinBox;
    spin->setObjectName(name);
    spin->setRange(1, 18);
    spin->setMaximumWidth(70);
    // Once the user sets a period, blank is no longer offered.
    QObject::connect(spin, &QSpinBox::valueChanged, spin, [spin](int value) {
        if (value > 0 && spin->minimum() == 0) {
            spin->setSpecialValueText(QString());
            spin->setMinimum(1);
        }
    });
    return spin;
}

// Typing may not make the text longer than `maximum` characters. Unlike a maximum length, this
// keeps a longer stored text whole (it is written back as loaded) and lets the user shorten it.
void limitTyping(QLineEdit* edit, int maximum) {
    auto accepted = std::make_shared<QString>();
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, maximum, accepted] {
        const QString text = edit->text();
        if (edit->isModified() && text.size() > maximum && text.size() > accepted->size()) {
            const int cursor = edit->cursorPosition() - int(text.size() - accepted->size());
            edit->setText(*accepted);
            edit->setCursorPosition(qMax(0, cursor));
            return;
        }
        *accepted = text;
    });
}

// Shows and keeps the text in upper case as the user types.
void keepUpperCase(QLineEdit* edit) {
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
        const QString upper = text.toUpper();
        if (upper == text)
            return;
        const int cursor = edit->cursorPosition();
        edit->setText(upper);
        edit->setCursorPosition(cursor);
    });
}

} // namespace

TdlgPreferences::TdlgPreferences(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlgPreferences"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Preferences"));

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->addTab(buildGeneralPage(), QStringLiteral("General"));
    PageControl1->addTab(buildConfirmationPage(), QStringLiteral("Confirmation"));
    PageControl1->addTab(buildLogFilePage(), QStringLiteral("Log File"));
    PageControl1->addTab(buildAccountTypePage(), QStringLiteral("Account Type"));
    // The confirmation and log file pages are kept but not offered.
    PageControl1->setTabVisible(1, false);
    PageControl1->setTabVisible(2, false);

    const DialogButtons dialogButtons = MakeOkCancelApplyButtons(this);
    BitBtn1 = dialogButtons.ok;
    BitBtn2 = dialogButtons.cancel;
    bbtnApply = dialogButtons.apply;
    connect(BitBtn1, &QPushButton::clicked, this, &TdlgPreferences::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TdlgPreferences::BitBtn2Click);
    connect(bbtnApply, &QPushButton::clicked, this, &TdlgPreferences::bbtnApplyClick);

    QHBoxLayout* buttons = dialogButtons.row;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(buttons);

    FormCreate();
    new WindowLayoutKeeper(this, Keys::Layout::PreferencesWindowSize);
}

TdlgPreferences::~TdlgPreferences() {
    emit stationsChanged();
}

QLineEdit* TdlgPreferences::textField(const SettingKey& key, const QString& name) {
    auto* edit = new QLineEdit;
    edit->setObjectName(
        name.isEmpty()
            ? QStringLiteral("edt%1_%2").arg(QLatin1String(key.section), QLatin1String(key.name))
            : name);
    textFields_.append({key, edit});
    return edit;
}

QGroupBox* TdlgPreferences::fieldGroup(const QString& title,
                                       const QList<QPair<QString, QWidget*>>& rows) {
    auto* group = new QGroupBox(title);
    auto* form = new QFormLayout(group);
    for (const auto& [label, field] : rows)
        form->addRow(label, field);
    return group;
}

QWidget* TdlgPreferences::buildGeneralPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tsGeneral"));

    dedtLedvoraPath = new QLineEdit;
    dedtLedvoraPath->setObjectName(QStringLiteral("dedtLedvoraPath"));
    QAction* browse = dedtLedvoraPath->addAction(style()->standardIcon(QStyle::SP_DirOpenIcon),
                                                 QLineEdit::TrailingPosition);
    connect(browse, &QAction::triggered, this, [this] {
        const QString folder =
            QFileDialog::getExistingDirectory(this, QString(), dedtLedvoraPath->text());
        if (!folder.isEmpty())
            dedtLedvoraPath->setText(QDir::toNativeSeparators(folder));
    });
    wwDBDateTimePicker1 = new OptionalDateEdit;
    wwDBDateTimePicker1->setObjectName(QStringLiteral("wwDBDateTimePicker1"));
    wwDBDateTimePicker1->setCalendarPopup(true);
    edtDays = new QLineEdit;
    edtDays->setObjectName(QStringLiteral("edtDays"));
    edtDays->setValidator(new QIntValidator(0, 9999, edtDays));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Accounting Link Path"), dedtLedvoraPath);
    form->addRow(QStringLiteral("GST Start Date"), wwDBDateTimePicker1);
    form->addRow(QStringLiteral("Export For Days Ago"), edtDays);
    form->setRowVisible(edtDays, false);

    auto* method = new QGroupBox(QStringLiteral("Export Method"));
    rbtnByItem = new QRadioButton(QStringLiteral("By Item"));
    rbtnByItem->setObjectName(QStringLiteral("rbtnByItem"));
    rbtnBySummary = new QRadioButton(QStringLiteral("By Summary"));
    rbtnBySummary->setObjectName(QStringLiteral("rbtnBySummary"));
    auto* methodLayout = new QHBoxLayout(method);
    methodLayout->addWidget(rbtnByItem);
    methodLayout->addWidget(rbtnBySummary);
    methodLayout->addStretch(1);

    CheckBox1 =
        checkBox(QStringLiteral("CheckBox1"), QStringLiteral("Using Foreign Currency Rate"));
    CheckBox4 =
        checkBox(QStringLiteral("CheckBox4"), QStringLiteral("Export Remark Field -> DESP "));
    CheckBox5 =
        checkBox(QStringLiteral("CheckBox5"), QStringLiteral("Export Store Code Field -> PROJNO"));
    CheckBox6 =
        checkBox(QStringLiteral("CheckBox6"), QStringLiteral("Export Remark Remark -> BILLNO"));
    auto* ubsGroup = new QGroupBox(QStringLiteral("UBS"));
    ubsGroup->setObjectName(QStringLiteral("gbUbsExport"));
    (new QVBoxLayout(ubsGroup))->addWidget(CheckBox4);
    auto* autoCountGroup = new QGroupBox(QStringLiteral("Auto Count"));
    autoCountGroup->setObjectName(QStringLiteral("gbAutoCountExport"));
    auto* autoCountLayout = new QVBoxLayout(autoCountGroup);
    autoCountLayout->addWidget(CheckBox5);
    autoCountLayout->addWidget(CheckBox6);
    // Options the link does not use; they are loaded and written back unchanged.
    for (QWidget* hidden : {static_cast<QWidget*>(CheckBox1), static_cast<QWidget*>(CheckBox4),
                            static_cast<QWidget*>(CheckBox5), static_cast<QWidget*>(CheckBox6),
                            static_cast<QWidget*>(ubsGroup), static_cast<QWidget*>(autoCountGroup)})
        hidden->hide();

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addWidget(method);
    layout->addWidget(CheckBox1);
    layout->addWidget(ubsGroup);
    layout->addWidget(autoCountGroup);
    layout->addStretch(1);
    return page;
}

QWidget* TdlgPreferences::buildConfirmationPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tsConfirmation"));
    cbRemove = checkBox(QStringLiteral("cbRemove"), QStringLiteral("Confirm Remove Account Book"));
    cbCopy = checkBox(QStringLiteral("cbCopy"), QStringLiteral("Confirm To Copy Account Book"));
    cbPaste = checkBox(QStringLiteral("cbPaste"), QStringLiteral("Confirm Paste To Account Book"));
    cbOut = checkBox(QStringLiteral("cbOut"), QStringLiteral("Confirm Export"));
    cbIn = checkBox(QStringLiteral("cbIn"), QStringLiteral("Confirm Import"));
    auto* layout = new QVBoxLayout(page);
    for (QCheckBox* box : {cbRemove, cbCopy, cbPaste, cbOut, cbIn})
        layout->addWidget(box);
    layout->addStretch(1);
    return page;
}

QWidget* TdlgPreferences::buildLogFilePage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tsLogFile"));
    auto sizeField = [](const QString& name) {
        // Kilobytes, 0 to 1024; the text is written back as it was loaded unless changed.
        auto* edit = new QLineEdit;
        edit->setObjectName(name);
        edit->setValidator(new QIntValidator(0, 1024, edit));
        edit->setMaximumWidth(80);
        return edit;
    };
    SpinEdit5 = sizeField(QStringLiteral("SpinEdit5"));
    SpinEdit6 = sizeField(QStringLiteral("SpinEdit6"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(fieldGroup(QStringLiteral("Log File Size ( KB )"),
                                 {{QStringLiteral("Accounting Link Log File Size :"), SpinEdit5},
                                  {QStringLiteral("Account Book Log File Size :"), SpinEdit6}}));
    layout->addStretch(1);
    return page;
}

QWidget* TdlgPreferences::buildAccountTypePage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tsAccountType"));
    cbAccType = new QComboBox;
    cbAccType->setObjectName(QStringLiteral("cbAccType"));
    for (AccountTypeEntry entry :
         {AccountTypeEntry::Ubs, AccountTypeEntry::AutoCount, AccountTypeEntry::SqlAcc,
          AccountTypeEntry::AccTrak21, AccountTypeEntry::Emas})
        cbAccType->addItem(EntryCaption(entry));
    cbAccType->setMinimumWidth(180);
    cbAccType->installEventFilter(this);
    cbAccType->view()->installEventFilter(this);
    connect(cbAccType, &QComboBox::currentIndexChanged, this, &TdlgPreferences::cbAccTypeChange);

    PageControl5 = new QStackedWidget;
    PageControl5->setObjectName(QStringLiteral("PageControl5"));
    typePages_ = {buildUbsPage(),       buildAutoCountPage(), buildSqlAccPage(),
                  buildAccTrak21Page(), buildEmasPage(),      buildAccPacPage()};
    for (QWidget* typePage : typePages_)
        PageControl5->addWidget(typePage);

    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(new QLabel(QStringLiteral("Accounting Type :-")));
    typeRow->addWidget(cbAccType);
    typeRow->addStretch(1);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(typeRow);
    layout->addWidget(PageControl5, 1);
    return page;
}

QWidget* TdlgPreferences::buildUbsPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet14"));
    CheckBox3 = checkBox(QStringLiteral("CheckBox3"), QStringLiteral("Include Remark"));

    auto* files = new QFormLayout;
    files->addRow(QStringLiteral("Intermediate File"),
                  textField(U::SalesTransaction, QStringLiteral("Edit1")));
    auto* walkIn = fieldGroup(
        QStringLiteral("Walk In Customer"),
        {{QStringLiteral("Sales Account"), textField(U::SalesAccount, QStringLiteral("Edit2"))},
         {QStringLiteral("Purchase Account"),
          textField(U::PurchaseAccount, QStringLiteral("Edit3"))},
         {QStringLiteral("Suspend Account"),
          textField(U::SuspendAccount, QStringLiteral("Edit18"))},
         {QStringLiteral("Sundry Account"),
          textField(U::SundryAccount, QStringLiteral("Edit20"))}});

    DateTimePicker1 = new OptionalDateEdit;
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setCalendarPopup(true);
    connect(DateTimePicker1, &QDateEdit::editingFinished, this,
            &TdlgPreferences::DateTimePicker1Exit);
    SpinEdit1 = periodSpin(QStringLiteral("SpinEdit1"));
    SpinEdit2 = periodSpin(QStringLiteral("SpinEdit2"));
    connect(SpinEdit1, &QSpinBox::valueChanged, this, &TdlgPreferences::DateTimePicker1Exit);
    connect(SpinEdit2, &QSpinBox::valueChanged, this, &TdlgPreferences::DateTimePicker1Exit);
    DateTimePicker2 = new OptionalDateEdit;
    DateTimePicker2->setObjectName(QStringLiteral("DateTimePicker2"));
    DateTimePicker3 = new OptionalDateEdit;
    DateTimePicker3->setObjectName(QStringLiteral("DateTimePicker3"));
    for (OptionalDateEdit* shown : {DateTimePicker2, DateTimePicker3}) {
        shown->setReadOnly(true);
        shown->setButtonSymbols(QAbstractSpinBox::NoButtons);
    }
    auto* year = new QGroupBox(QStringLiteral("Last Accounting Year "));
    auto* yearGrid = new QGridLayout(year);
    yearGrid->addWidget(new QLabel(QStringLiteral("Closing Date")), 0, 0);
    yearGrid->addWidget(DateTimePicker1, 0, 1, 1, 2);
    yearGrid->addWidget(new QLabel(QStringLiteral("Starting Period")), 1, 1);
    yearGrid->addWidget(new QLabel(QStringLiteral("Closing Period")), 1, 2);
    yearGrid->addWidget(new QLabel(QStringLiteral("Period")), 2, 0);
    yearGrid->addWidget(SpinEdit1, 2, 1);
    yearGrid->addWidget(SpinEdit2, 2, 2);
    yearGrid->addWidget(new QLabel(QStringLiteral("Date")), 3, 0);
    yearGrid->addWidget(DateTimePicker2, 3, 1);
    yearGrid->addWidget(DateTimePicker3, 3, 2);
    yearGrid->setRowStretch(4, 1);

    // AccPac's files; the window keeps them on a hidden panel and never writes them.
    auto* accPac = fieldGroup(
        QStringLiteral("AccPac"),
        {{QStringLiteral("Item Master File"), textField(P::ItemMaster, QStringLiteral("Edit26"))},
         {QStringLiteral("Item Price File"), textField(P::ItemPrice, QStringLiteral("Edit27"))},
         {QStringLiteral("Sales File"), textField(P::SalesTransaction, QStringLiteral("Edit28"))}});
    accPac->setObjectName(QStringLiteral("pnlAccPac"));
    accPac->hide();

    auto* left = new QVBoxLayout;
    left->addLayout(files);
    left->addWidget(walkIn);
    left->addWidget(CheckBox3);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(year);
    right->addWidget(accPac);
    right->addStretch(1);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);
    return page;
}

QWidget* TdlgPreferences::buildAutoCountPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet15"));
    CheckBox2 = checkBox(QStringLiteral("CheckBox2"), QStringLiteral("Include Remark"));

    auto* tables = new QGroupBox(QStringLiteral("Files"));
    auto* grid = new QGridLayout(tables);
    grid->addWidget(new QLabel(QStringLiteral("Master Table")), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Detail Table")), 0, 2);
    const QList<std::tuple<QString, SettingKey, SettingKey>> entries{
        {QStringLiteral("Cash Receipt Entry"), A::CashReceipt, A::CashReceiptDetail},
        {QStringLiteral("Invoice Entry"), A::Invoice, A::InvoiceDetail},
        {QStringLiteral("Receive Payment"), A::Payment, A::PaymentDetail},
        {QStringLiteral("Bill Entry"), A::Bill, A::BillDetail},
        {QStringLiteral("Pay Bill"), A::PayBill, A::PayBillDetail}};
    int row = 1;
    for (const auto& [caption, master, detail] : entries) {
        grid->addWidget(new QLabel(caption), row, 0);
        grid->addWidget(textField(master), row, 1);
        grid->addWidget(textField(detail), row, 2);
        ++row;
    }
    grid->addWidget(new QLabel(QStringLiteral("Debtor Table")), row, 0);
    grid->addWidget(textField(A::Debtor), row++, 1);
    grid->addWidget(new QLabel(QStringLiteral("Creditor Table")), row, 0);
    grid->addWidget(textField(A::Creditor), row++, 1);

    auto* control =
        fieldGroup(QStringLiteral("Control Account"),
                   {{QStringLiteral("Debtor Ctrl A/C"), textField(A::DebtorAccount)},
                    {QStringLiteral("Creditor Ctrl A/C"), textField(A::CreditorAccount)},
                    {QStringLiteral("Suspend Account"), textField(A::SuspendAccount)}});
    auto* gl = fieldGroup(QStringLiteral("GL Account"),
                          {{QStringLiteral("Sales Account"), textField(A::SalesAccount)},
                           {QStringLiteral("Purchase Account"), textField(A::PurchaseAccount)}});
    auto* income = fieldGroup(QStringLiteral("Other Income A/C"),
                              {{QStringLiteral("Sundry Account"), textField(A::SundryAccount)}});
    auto* codes = fieldGroup(QStringLiteral("Default Code"),
                             {{QStringLiteral("Area Code"), textField(A::AreaCode)},
                              {QStringLiteral("Agent Code"), textField(A::AgentCode)},
                              {QStringLiteral("Payment Term"), textField(A::PaymentTerm)},
                              {QStringLiteral("Currency Code"), textField(A::CurrencyCode)}});

    auto* left = new QVBoxLayout;
    left->addWidget(tables);
    left->addWidget(codes);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(control);
    right->addWidget(gl);
    right->addWidget(income);
    right->addWidget(CheckBox2);
    right->addStretch(1);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 3);
    layout->addLayout(right, 2);
    return page;
}

QWidget* TdlgPreferences::buildSqlAccPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet16"));
    QLineEdit* user = textField(S::UserLogin, QStringLiteral("Edit48"));
    QLineEdit* password = textField(S::Password, QStringLiteral("Edit49"));
    keepUpperCase(user);
    keepUpperCase(password);
    password->setEchoMode(QLineEdit::Password);
    password->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    QLineEdit* dcf = textField(S::Dcf, QStringLiteral("FilenameEdit1"));
    QAction* browse =
        dcf->addAction(style()->standardIcon(QStyle::SP_DirOpenIcon), QLineEdit::TrailingPosition);
    connect(browse, &QAction::triggered, this, [this, dcf] {
        const QString file = QFileDialog::getOpenFileName(
            this, QString(), dcf->text(),
            QStringLiteral("Data Collection Files (*.dcf);;All files (*.*)"));
        if (!file.isEmpty())
            dcf->setText(QDir::toNativeSeparators(file));
    });
    auto* setup = fieldGroup(QStringLiteral("Database Setup"),
                             {{QStringLiteral("User Login : "), user},
                              {QStringLiteral("Password : "), password},
                              {QStringLiteral("Intermediate File : "),
                               textField(S::SalesTransaction, QStringLiteral("Edit47"))},
                              {QStringLiteral("Data Collection File :"), dcf}});
    auto* arAp =
        fieldGroup(QStringLiteral("AR / AP Account"),
                   {{QStringLiteral("Customer Control A/C"), textField(S::CustomerAccount)},
                    {QStringLiteral("Supplier Control A/C"), textField(S::SupplierAccount)}});
    auto* gl = fieldGroup(
        QStringLiteral("GL Account"),
        {{QStringLiteral("Sales Account"), textField(S::SalesAccount)},
         {QStringLiteral("Sales CN Account"), textField(S::SalesCnAccount)},
         {QStringLiteral("Purchase Account"), textField(S::PurchaseAccount)},
         {QStringLiteral("Purchase Return Account"), textField(S::PurchaseReturnAccount)},
         {QStringLiteral("Payment Account"), textField(S::PaymentAccount)}});
    auto* codes = fieldGroup(QStringLiteral("Default Code"),
                             {{QStringLiteral("Area Code"), textField(S::AreaCode)},
                              {QStringLiteral("Agent Code"), textField(S::AgentCode)},
                              {QStringLiteral("Payment Term"), textField(S::PaymentTerm)},
                              {QStringLiteral("Currency Code"), textField(S::CurrencyCode)},
                              {QStringLiteral("Tariff Code"), textField(S::TariffCode)}});
    cbEInvoice = checkBox(QStringLiteral("cbEInvoice"), QStringLiteral("e-Invoice (MyInvois)"));
    cbEInvoice->setToolTip(QStringLiteral(
        "Cash sales for the consolidated e-invoice: the cash-sales customer as the general public, "
        "and each day's summary naming its receipts"));
    static_cast<QFormLayout*>(codes->layout())->addRow(cbEInvoice);
    auto* left = new QVBoxLayout;
    left->addWidget(setup);
    left->addWidget(arAp);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(gl);
    right->addWidget(codes);
    right->addStretch(1);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);
    return page;
}

QWidget* TdlgPreferences::buildAccTrak21Page() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet17"));
    auto* files = fieldGroup(QStringLiteral("Debtor / Creditor"),
                             {{QStringLiteral("Debtor File"), textField(T::Debtor)},
                              {QStringLiteral("Creditor File"), textField(T::Creditor)},
                              {QStringLiteral("Debtor Ctrl A/C"), textField(T::DebtorAccount)},
                              {QStringLiteral("Creditor Ctrl A/C"), textField(T::CreditorAccount)},
                              {QStringLiteral("Default Payment Term"), textField(T::PaymentTerm)}});
    auto* suspend = new QFormLayout;
    suspend->addRow(QStringLiteral("Suspend Account"), textField(T::SuspendAccount));
    auto* entry =
        fieldGroup(QStringLiteral("Financial Entry"),
                   {{QStringLiteral("Transaction File"), textField(T::SalesTransaction)}});
    auto* gl = fieldGroup(QStringLiteral("GL Account"),
                          {{QStringLiteral("Sales Account"), textField(T::SalesAccount)},
                           {QStringLiteral("Purchase Account"), textField(T::PurchaseAccount)}});
    auto* income = fieldGroup(QStringLiteral("Other Income A/C"),
                              {{QStringLiteral("Sundry Account"), textField(T::SundryAccount)}});
    auto* left = new QVBoxLayout;
    left->addWidget(files);
    left->addLayout(suspend);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(entry);
    right->addWidget(gl);
    right->addWidget(income);
    right->addStretch(1);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);
    return page;
}

QWidget* TdlgPreferences::buildEmasPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet18"));
    auto field = [this](const SettingKey& key) {
        QLineEdit* edit = textField(key);
        limitTyping(edit, 8);
        edit->setMaximumWidth(140);
        return edit;
    };
    auto* file = new QFormLayout;
    file->addRow(QStringLiteral("Intermediate File"), field(E::IntermediateFile));
    auto* sales = fieldGroup(QStringLiteral("Sales Control Account"),
                             {{QStringLiteral("Sales Account"), field(E::SalesAccount)},
                              {QStringLiteral("Suspend Account"), field(E::SuspendAccount)},
                              {QStringLiteral("Sundry Account"), field(E::SundryAccount)}});
    auto* arAp = fieldGroup(QStringLiteral("AR/AP Control Account"),
                            {{QStringLiteral("Customer Sales"), field(E::CustomerAccount)},
                             {QStringLiteral("Supplier Receive"), field(E::SupplierAccount)}});
    auto* other = fieldGroup(QStringLiteral("Other Control Account"),
                             {{QStringLiteral("Transfer Out"), field(E::TransferAccount)}});
    auto* left = new QVBoxLayout;
    left->addLayout(file);
    left->addWidget(sales);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(arAp);
    right->addWidget(other);
    right->addStretch(1);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);
    return page;
}

QWidget* TdlgPreferences::buildAccPacPage() {
    // Shown only when the settings hold ACCPAC, which this window cannot select or edit.
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheetAccPac"));
    auto shown = [](const QString& name) {
        auto* edit = new QLineEdit;
        edit->setObjectName(name);
        edit->setReadOnly(true);
        return edit;
    };
    auto* files = fieldGroup(
        QStringLiteral("AccPac"),
        {{QStringLiteral("Item Master File"), shown(QStringLiteral("edtAccPacItemMaster"))},
         {QStringLiteral("Item Price File"), shown(QStringLiteral("edtAccPacItemPrice"))},
         {QStringLiteral("Sales File"), shown(QStringLiteral("edtAccPacSales"))}});
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(files);
    layout->addStretch(1);
    return page;
}

void TdlgPreferences::FormCreate() {
    PageControl1->setCurrentIndex(0);
    PageControl5->setCurrentIndex(0);
    SettingsFile settings;
    loaded_ = LoadPreferences(settings);
    showValues(loaded_);
}

void TdlgPreferences::showValues(const PreferenceValues& values) {
    edtDays->setText(values.changedDays);
    dedtLedvoraPath->setText(values.ledvoraPath);
    wwDBDateTimePicker1->setValue(values.gstStartDate);
    (values.exportByItem ? rbtnByItem : rbtnBySummary)->setChecked(true);
    const QList<QCheckBox*> boxes = flagBoxes();
    for (int i = 0; i < boxes.size(); ++i)
        boxes.at(i)->setChecked(values.*PreferenceFlags().at(i).value);

    for (const auto& [key, edit] : textFields_)
        edit->setText(values.text(key));
    for (QLineEdit* upper : {findChild<QLineEdit*>(QStringLiteral("Edit48")),
                             findChild<QLineEdit*>(QStringLiteral("Edit49"))})
        upper->setText(upper->text().toUpper());
    findChild<QLineEdit*>(QStringLiteral("edtAccPacItemMaster"))
        ->setText(values.text(Keys::AccPac::ItemMaster));
    findChild<QLineEdit*>(QStringLiteral("edtAccPacItemPrice"))
        ->setText(values.text(Keys::AccPac::ItemPrice));
    findChild<QLineEdit*>(QStringLiteral("edtAccPacSales"))
        ->setText(values.text(Keys::AccPac::SalesTransaction));

    DateTimePicker1->setValue(values.ubsClosingDate);
    {
        // Loading is not a change of the periods.
        const QSignalBlocker block1(SpinEdit1);
        const QSignalBlocker block2(SpinEdit2);
        showPeriod(SpinEdit1, values.ubsStartingPeriod);
        showPeriod(SpinEdit2, values.ubsClosingPeriod);
    }
    CheckBox3->setChecked(values.ubsIncludeRemark);
    CheckBox2->setChecked(values.autoCountIncludeRemark);
    cbEInvoice->setChecked(values.sqlAccEInvoice);

    if (values.accountType == AccountTypeEntry::AccPac && cbAccType->count() == 5)
        cbAccType->addItem(EntryCaption(AccountTypeEntry::AccPac));
    cbAccType->setCurrentIndex(static_cast<int>(values.accountType));
    cbAccTypeChange(cbAccType->currentIndex());

    SpinEdit5->setText(values.ledvoraLogFileSize);
    SpinEdit6->setText(values.stationLogFileSize);
}

QList<QCheckBox*> TdlgPreferences::flagBoxes() const {
    // In the order of PreferenceFlags().
    return {CheckBox1, cbRemove, cbOut, cbIn, cbCopy, cbPaste, CheckBox4, CheckBox5, CheckBox6};
}

AccountTypeEntry TdlgPreferences::selectedEntry() const {
    const int index = cbAccType->currentIndex();
    if (index < 0 || index > static_cast<int>(AccountTypeEntry::AccPac))
        return AccountTypeEntry::None;
    return static_cast<AccountTypeEntry>(index);
}

PreferenceValues TdlgPreferences::enteredValues() const {
    PreferenceValues values = loaded_;
    values.changedDays = edtDays->text();
    values.ledvoraPath = dedtLedvoraPath->text();
    values.gstStartDate = wwDBDateTimePicker1->value();
    values.exportByItem = rbtnByItem->isChecked();
    const QList<QCheckBox*> boxes = flagBoxes();
    for (int i = 0; i < boxes.size(); ++i)
        values.*PreferenceFlags().at(i).value = boxes.at(i)->isChecked();
    for (const auto& [key, edit] : textFields_)
        values.setText(key, edit->text());
    values.ubsClosingDate = DateTimePicker1->value();
    values.ubsStartingPeriod = periodOf(SpinEdit1);
    values.ubsClosingPeriod = periodOf(SpinEdit2);
    values.ubsIncludeRemark = CheckBox3->isChecked();
    values.autoCountIncludeRemark = CheckBox2->isChecked();
    values.sqlAccEInvoice = cbEInvoice->isChecked();
    values.accountType = selectedEntry();
    values.ledvoraLogFileSize = SpinEdit5->text();
    values.stationLogFileSize = SpinEdit6->text();
    return values;
}

void TdlgPreferences::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
    DateTimePicker1Exit();
}

void TdlgPreferences::FormShow() {
    // Locked until the count proves that no station has a job row.
    cbAccType->setEnabled(false);
    RunGuarded([this] {
        if (dmPolling)
            cbAccType->setEnabled(!AccountTypeLocked(dmPolling->qryRecord));
    });
}

void TdlgPreferences::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        DateTimePicker1Exit();
}

bool TdlgPreferences::eventFilter(QObject* watched, QEvent* event) {
    // The type list changes only by mouse or by the arrow keys: typed characters are dropped.
    if ((watched == cbAccType || watched == cbAccType->view()) &&
        event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (!text.isEmpty() && text.at(0).isPrint())
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TdlgPreferences::cbAccTypeChange(int index) {
    if (index >= 0 && index < typePages_.size())
        PageControl5->setCurrentWidget(typePages_.at(index));
}

void TdlgPreferences::DateTimePicker1Exit() {
    const std::optional<QDate> closing = DateTimePicker1->value();
    const std::optional<int> period = periodOf(SpinEdit2);
    if (!closing) {
        DateTimePicker2->setValue(std::nullopt);
        DateTimePicker3->setValue(std::nullopt);
        return;
    }
    const AccountingYear year = ComputeAccountingYear(*closing, period.value_or(0));
    DateTimePicker1->setValue(year.closingDate);
    DateTimePicker2->setValue(year.firstDay);
    DateTimePicker3->setValue(period ? std::optional<QDate>(year.lastDayOfPeriod) : std::nullopt);
}

void TdlgPreferences::bbtnApplyClick() {
    RunGuarded([this] {
        SettingsFile settings;
        ApplyPreferences(settings, enteredValues(), [this](int panel, const QString& text) {
            emit statusPanelChanged(panel, text);
        });
    });
}

void TdlgPreferences::BitBtn1Click() {
    bbtnApplyClick();
    BitBtn2Click();
}

void TdlgPreferences::BitBtn2Click() {
    reject();
}
