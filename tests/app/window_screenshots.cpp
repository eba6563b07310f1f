// zantro-screenshots: opens every window of the program on an installation (ZANTRO_HOME) and
// saves a picture of the whole screen for each, so the windows can be looked at as a user sees
// them. Run it on a display of the size to check, for example:
//
//   xvfb-run -s "-screen 0 1024x768x24" build/bin/zantro-screenshots OUT_DIR
//
// The demo installation's ADMIN user is logged in without the login window (which is pictured
// on its own). Message boxes are pictured and answered No (or OK).
#include "app/ui/main_window.h"
#include "app/ui/widget_message_service.h"
#include "core/app_context.h"
#include "login/ui/password_dialog.h"
#include "sqlacc/sqlacc_login.h"
#include "standin/package_choice.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <vector>

namespace {

QString outputFolder;
// A step's action, and what must hold before it runs (work under way, a box still to come).
struct Step {
    std::function<void()> action;
    std::function<bool()> ready;
};
std::vector<Step> steps;
int stepDelayMs = 400;
constexpr int kGateCheckMs = 100;
constexpr int kGateLimitMs = 300000;

void shoot(const QString& name) {
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    const QString path = QDir(outputFolder).filePath(name + QStringLiteral(".png"));
    screen.save(path);
    qInfo("%s", qPrintable(path));
}

void runStep(size_t index, int waitedMs = 0) {
    if (index >= steps.size()) {
        QApplication::quit();
        return;
    }
    // A step waits (without blocking: other windows' work goes on) until it may run.
    if (steps[index].ready && !steps[index].ready() && waitedMs < kGateLimitMs) {
        QTimer::singleShot(kGateCheckMs,
                           [index, waitedMs] { runStep(index, waitedMs + kGateCheckMs); });
        return;
    }
    // The next step is queued first: a step may open a modal window and wait in it.
    QTimer::singleShot(stepDelayMs, [index] { runStep(index + 1); });
    steps[index].action();
}

QWidget* modal() {
    return QApplication::activeModalWidget();
}

template <typename T = QWidget> T* child(const char* name) {
    QWidget* top = modal() ? modal() : frmMain;
    return top ? top->findChild<T*>(QLatin1String(name)) : nullptr;
}

void closeModal() {
    if (auto* box = qobject_cast<QMessageBox*>(modal())) {
        box->done(box->standardButtons() & QMessageBox::No ? QMessageBox::No : QMessageBox::Ok);
        return;
    }
    if (auto* dialog = qobject_cast<QDialog*>(modal()))
        dialog->reject();
}

void click(const char* name) {
    if (auto* button = child<QAbstractButton>(name))
        button->click();
}

// True when the export window does no work on the work table (a search, Select All, a new
// order), or is not open.
bool exportIdle() {
    auto* dialog =
        frmMain ? frmMain->findChild<QDialog*>(QStringLiteral("dlgExportToAcct")) : nullptr;
    return !dialog || !dialog->property("busy").toBool();
}

// True when a message box whose text starts so is up, and no run's progress window.
bool boxUp(const QString& start) {
    auto* box = qobject_cast<QMessageBox*>(modal());
    if (!box || !box->text().startsWith(start))
        return false;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (qobject_cast<QProgressDialog*>(top) && top->isVisible())
            return false;
    return true;
}

// True when the window of posted documents is up and has read what it shows.
bool postedReady() {
    QWidget* window = modal();
    return window && window->objectName() == QLatin1String("dlgPostedDocuments") &&
           !window->property("reading").toBool();
}

void answerYes() {
    if (auto* box = qobject_cast<QMessageBox*>(modal()))
        box->done(QMessageBox::Yes);
}

void chooseTreeNode(const QString& text) {
    auto* tree = child<QTreeWidget>("TreeView1");
    if (!tree)
        return;
    const QList<QTreeWidgetItem*> found = tree->findItems(text, Qt::MatchExactly);
    if (found.isEmpty())
        return;
    tree->setCurrentItem(found.first());
    emit tree->itemClicked(found.first(), 0);
}

void add(std::function<void()> step) {
    steps.push_back({std::move(step), {}});
}

// A step that waits until the condition holds.
void waitFor(std::function<bool()> condition) {
    steps.push_back({[] {}, std::move(condition)});
}

void shot(const QString& name) {
    add([name] { shoot(name); });
}

void showMainPage(const char* page) {
    auto* pages = frmMain->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    pages->setCurrentWidget(frmMain->findChild<QWidget*>(QLatin1String(page)));
}

void popUpMenu(const char* title) {
    for (QAction* action : frmMain->menuBar()->actions())
        if (action->text() == QLatin1String(title)) {
            frmMain->menuBar()->setActiveAction(action);
            return;
        }
}

void closeMenus() {
    for (QMenu* menu : frmMain->findChildren<QMenu*>())
        menu->hide();
    frmMain->menuBar()->setActiveAction(nullptr);
}

// The export dialog: every category, the kinds of the transaction pages searched.
void exportSteps() {
    add([] { frmMain->ToolButton2Click(); });
    shot(QStringLiteral("20-export-open"));
    const struct {
        const char* category;
        const char* button;
        const char* search;
        const char* name;
    } kinds[] = {
        {"Sales", "rbtnSales_Cash", "btnSearch", "21-export-sales-cash"},
        {"Sales", "rbtnSales_Inv", "btnSearch", "22-export-sales-invoice"},
        {"Sales", "rbtnSales_CN", "btnSearch", "23-export-sales-cn"},
        {"Purchase", "rbtPur_Inv", "btnSearch", "24-export-purchase-invoice"},
        {"Purchase", "rbtnPur_Return", "btnSearch", "25-export-purchase-return"},
        {"AR", "rbtnAR_Inv", "btnARSearch", "26-export-ar-invoice"},
        {"AR", "rbtnAR_DN", "btnARSearch", "27-export-ar-debit-note"},
        {"AR", "rbtnAR_CN", "btnARSearch", "28-export-ar-credit-note"},
        {"AR", "rbtnAR_Payment", "btnARSearch", "29-export-ar-payment"},
        {"Stock Item", nullptr, nullptr, "30-export-stock-item"},
        {"Supplier Profile", nullptr, nullptr, "31-export-supplier"},
        {"Customer Profile", nullptr, nullptr, "32-export-customer"},
    };
    for (const auto& kind : kinds) {
        add([kind] {
            chooseTreeNode(QLatin1String(kind.category));
            if (kind.button)
                click(kind.button);
            if (kind.search)
                click(kind.search);
        });
        waitFor(exportIdle);
        shot(QLatin1String(kind.name));
    }
    // A search under way: its line with Cancel, the rest of the window greyed.
    add([] {
        chooseTreeNode(QStringLiteral("Sales"));
        click("btnSearch");
        QApplication::processEvents(QEventLoop::AllEvents, 30);
        shoot(QStringLiteral("36-export-searching"));
    });
    waitFor(exportIdle);
    // Ticked totals: every AR invoice, then one unticked, sorted by the net amount.
    add([] {
        chooseTreeNode(QStringLiteral("AR"));
        click("btnARSearch");
    });
    waitFor(exportIdle);
    add([] { click("chkARSelectAll"); });
    waitFor(exportIdle);
    add([] {
        auto* grid = child<QTableView>("wwDBGrid4");
        const QModelIndex first = grid->model()->index(1, 0);
        grid->model()->setData(first, Qt::Unchecked, Qt::CheckStateRole);
        grid->sortByColumn(grid->model()->columnCount() - 2, Qt::DescendingOrder);
    });
    waitFor(exportIdle);
    shot(QStringLiteral("33-export-ar-ticked-sorted"));
    add([] { click("btnExport"); });
    shot(QStringLiteral("34-export-confirmation"));
    add(closeModal);
    // The store box of the transaction page, opened.
    add([] {
        chooseTreeNode(QStringLiteral("Sales"));
        if (auto* all = child<QCheckBox>("chkSearchAll"))
            all->setChecked(false);
        if (auto* store = child<QComboBox>("wwDBLookupCombo1"))
            store->showPopup();
    });
    shot(QStringLiteral("35-export-store-box"));
    add([] {
        if (auto* store = child<QComboBox>("wwDBLookupCombo1"))
            store->hidePopup();
        if (auto* all = child<QCheckBox>("chkSearchAll"))
            all->setChecked(true);
    });
    // On a fresh installation the cash sales go before their customer: the package refuses the
    // first, and the window says which and what to do, then what became of each row.
    add([] {
        chooseTreeNode(QStringLiteral("Sales"));
        click("btnSearch");
    });
    waitFor(exportIdle);
    add([] { click("chkSelectAll"); });
    waitFor(exportIdle);
    add([] { click("btnExport"); }); // the question waits here; the next steps answer it
    add(answerYes);
    waitFor([] { return boxUp(QStringLiteral("S001-")); });
    shot(QStringLiteral("37-export-refusal"));
    add(closeModal);
    waitFor(exportIdle);
    shot(QStringLiteral("38-export-status-column"));
    // The customers go across, then the cash sales.
    add([] {
        chooseTreeNode(QStringLiteral("Customer Profile"));
        click("btnExport");
    });
    add(answerYes);
    waitFor([] { return boxUp(QStringLiteral("Some record")); });
    add(answerYes); // debtor codes generated
    waitFor([] { return boxUp(QStringLiteral("Completed.")); });
    add(closeModal);
    add([] {
        chooseTreeNode(QStringLiteral("Sales"));
        click("btnSearch");
    });
    waitFor(exportIdle);
    add([] { click("chkSelectAll"); });
    waitFor(exportIdle);
    add([] { click("btnExport"); });
    add(answerYes);
    waitFor([] { return boxUp(QStringLiteral("Completed.")); });
    shot(QStringLiteral("39-export-completed"));
    add(closeModal);
    waitFor(exportIdle);
    add([] {
        chooseTreeNode(QStringLiteral("Purchase"));
        click("btnSearch");
    });
    waitFor(exportIdle);
    add([] { click("btnClear"); });
    shot(QStringLiteral("39b-export-clear-question"));
    add(closeModal);
    // What was posted: the runs of the day and the documents of the latest, and beside it the
    // reconciliation.
    add([] { click("btnPosted"); });
    waitFor(postedReady);
    shot(QStringLiteral("70-posted-documents"));
    add([] {
        if (auto* runs = child<QTableView>("grdRuns"); runs && runs->model()->rowCount() > 2)
            runs->setCurrentIndex(runs->model()->index(2, 0));
    });
    waitFor(postedReady);
    shot(QStringLiteral("71-posted-documents-refused-run"));
    add([] {
        if (auto* tabs = child<QTabWidget>("tabPosted"))
            tabs->setCurrentIndex(1);
    });
    shot(QStringLiteral("72-posted-reconciliation"));
    add(closeModal);
    add(closeModal);
}

void propertiesSteps() {
    add([] { frmMain->ToolButton6Click(); });
    shot(QStringLiteral("40-properties-general"));
    add([] {
        if (auto* store = child<QComboBox>("wwDBLookupCombo2"))
            store->showPopup();
    });
    shot(QStringLiteral("41-properties-description-box"));
    add([] {
        if (auto* store = child<QComboBox>("wwDBLookupCombo2"))
            store->hidePopup();
        chooseTreeNode(QStringLiteral("Stock AR Entry"));
    });
    shot(QStringLiteral("42-properties-ar-entry"));
    add([] { chooseTreeNode(QStringLiteral("Stock AP Entry")); });
    shot(QStringLiteral("43-properties-ap-entry"));
    add([] { chooseTreeNode(QStringLiteral("Sales Transaction")); });
    shot(QStringLiteral("44-properties-sales-transaction"));
    add(closeModal);
    add([] { frmMain->ToolButton1Click(); });
    shot(QStringLiteral("45-properties-add"));
    add(closeModal);
}

void preferencesSteps() {
    add([] { frmMain->Preferences1Click(); });
    // A settings file without the UBS closing date reports it while the window opens.
    shot(QStringLiteral("50-preferences-conversion-message"));
    add([] {
        while (qobject_cast<QMessageBox*>(modal()))
            closeModal();
    });
    shot(QStringLiteral("51-preferences-general"));
    add([] {
        if (auto* pages = child<QTabWidget>("PageControl1"))
            pages->setCurrentIndex(3);
    });
    shot(QStringLiteral("52-preferences-account-type"));
    add(closeModal);
}

// The month-end check of the e-invoice, for the month in hand.
void eInvoiceCheckSteps() {
    add([] { frmMain->EInvoiceCheck1Click(); });
    add([] { click("btnCheck"); });
    shot(QStringLiteral("73-einvoice-month-check"));
    add(closeModal);
}

void importSteps() {
    add([] { frmMain->ToolButton3Click(); });
    shot(QStringLiteral("60-import"));
    add([] { click("BitBtn2"); });
    shot(QStringLiteral("61-import-done"));
    add([] {
        if (auto* dialog = qobject_cast<QDialog*>(modal()))
            dialog->close();
    });
    shot(QStringLiteral("62-main-after-import"));
}

void mainWindowSteps() {
    add([] { showMainPage("TabSheet1"); });
    shot(QStringLiteral("01-main-station"));
    add([] { popUpMenu("&Edit"); });
    shot(QStringLiteral("02-main-edit-menu"));
    add([] {
        closeMenus();
        popUpMenu("&Tools");
    });
    shot(QStringLiteral("03-main-tools-menu"));
    add([] {
        closeMenus();
        auto* list = frmMain->findChild<QAbstractItemView*>(QStringLiteral("lvStoreReport"));
        const QPoint at = list->visualRect(list->model()->index(1, 1)).center();
        list->setCurrentIndex(list->model()->index(1, 0));
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list->viewport(), &event);
    });
    shot(QStringLiteral("04-main-station-context-menu"));
    add([] {
        closeMenus();
        showMainPage("TabSheet2");
    });
    shot(QStringLiteral("05-main-log"));
    add([] {
        showMainPage("TabSheet3");
        auto* stations = frmMain->findChild<QTreeWidget*>(QStringLiteral("lvProOut"));
        if (stations && stations->topLevelItemCount() > 0)
            stations->setCurrentItem(stations->topLevelItem(0));
    });
    shot(QStringLiteral("06-main-summaries"));
    add([] { showMainPage("TabSheet4"); });
    shot(QStringLiteral("07-main-maintenance-customer"));
    add([] {
        // Ordered by the description: the arrow stands on its title.
        auto* fixed = frmMain->findChild<QTableView*>(QStringLiteral("wwDBGrid1Fixed"));
        emit fixed->horizontalHeader()->sectionClicked(1);
    });
    shot(QStringLiteral("09-main-maintenance-sorted"));
    add([] {
        auto* pages = frmMain->findChild<QTabWidget*>(QStringLiteral("PageControl2"));
        pages->setCurrentIndex(1);
    });
    shot(QStringLiteral("08-main-maintenance-supplier"));
    add([] {
        frmMain->findChild<QTabWidget*>(QStringLiteral("PageControl2"))->setCurrentIndex(0);
        showMainPage("TabSheet1");
    });
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        qWarning("Usage: zantro-screenshots OUT_DIR   (ZANTRO_HOME names the installation)");
        return 2;
    }
    outputFolder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outputFolder);
    AppContext::instance().setMessages(std::make_shared<WidgetMessageService>());
    ChooseAccountingPackage();

    TfrmMain window({QStringLiteral("zantro-link"), QStringLiteral("-#UADMIN")});
    // No window manager maximizes the window on a bare X server.
    window.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    window.show();

    add([] {
        LoginState login;
        TdlgPassword dialog(login, frmMain);
        dialog.exec();
    });
    add([] {}); // its clock fills the date and time boxes after a second
    add([] {});
    shot(QStringLiteral("00-login"));
    add(closeModal);
    mainWindowSteps();
    exportSteps();
    propertiesSteps();
    preferencesSteps();
    eInvoiceCheckSteps();
    importSteps();
    QTimer::singleShot(1500, [] { runStep(0); });
    const int result = app.exec();
    ReleaseBizApp();
    FreeGroupAccessModule();
    return result;
}
