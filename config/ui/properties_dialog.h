#pragma once

#include "config/job_options.h"

#include <QDialog>
#include <QHash>

class OptionPage;
class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QTreeWidget;

// "Station Properties": adds a station or edits the current one of dmPolling->tblStation, with
// its transmission options (the station's job rows) and its folders.
//
// Create it with new: like every window of the program it frees itself when it closes.
class TdlgProperties : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Add, Properties };

    explicit TdlgProperties(QWidget* parent);

    // Starts a new station (Add) or takes the current one (Properties), builds the page tree for
    // the account type and shows the window modally.
    void OpenStation(Mode mode);

signals:
    // A station was stored: the main window rebuilds its station list (ListStation).
    void stationsChanged();

public slots:
    void bbtnApplyClick();
    void BitBtn1Click(); // OK
    void BitBtn2Click(); // Cancel
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // How an Apply ended when it raised no error.
    enum class ApplyResult { Saved, StoreNotFound, DuplicateStation };

    void buildPages();
    QWidget* buildGeneralPage();
    void buildProfilePage(OptionPage* page, StationJob job, const QString& caption,
                          const QString& panelName, int firstRadioNumber);
    void addDocumentRow(OptionPage* page, StationJob job, const QString& caption,
                        const QString& panelName, const QString& prefix);

    void FormShow();
    void TreeView1Click();
    void HideAllPages();
    void LoadJobOptions();
    void ShowJobOptions();
    void hcProfileSectionClick(StationJob job, int column);
    void hcAREntrySectionClick(int column);
    void hcAPEntrySectionClick(int column);
    void hcSalesTransSectionClick(int column);

    ApplyResult Apply();
    void prepare(Mode mode);
    void fillStoreLists();
    void showStationFields(bool includeStoreCode);
    void storeCodeEdited(const QString& code);
    void storeDescriptionChosen(int index);
    void activeChosen(int index);
    void setStoreBoxesEnabled(bool enabled);
    void discardPendingChange();
    void keepBoundStation();
    QString currentStoreCode() const;
    bool isNewStation() const;

    Mode mode_ = Mode::Properties;
    bool shown_ = false;
    bool updatingFields_ = false;
    // The station the window works on once it is stored (or from the opening, when editing).
    QString boundStore_;
    // A station row was stored but the station list was not rebuilt yet.
    bool listOutdated_ = false;
    QStringList storeCodes_;
    JobOptions options_;

    QTreeWidget* TreeView1 = nullptr;
    QScrollArea* sbGeneral = nullptr;
    OptionPage* sbDataEntry = nullptr;
    OptionPage* sbCustProfile = nullptr;
    OptionPage* sbAREntry = nullptr;
    OptionPage* sbAPEntry = nullptr;
    OptionPage* sbSalesTrans = nullptr;
    QHash<QString, QWidget*> pageOfNode_;

    QComboBox* wwDBLookupCombo1 = nullptr;
    QComboBox* wwDBLookupCombo2 = nullptr;
    QLineEdit* wwDBEdit1 = nullptr;
    QLineEdit* wwDBEdit2 = nullptr;
    QLineEdit* wwDBEdit3 = nullptr;
    QComboBox* wwDBComboBox1 = nullptr;

    struct ProfileRow {
        StationJob job;
        std::array<QRadioButton*, 4> buttons;
    };
    struct DocumentRow {
        StationJob job;
        QCheckBox* none;
        QCheckBox* realTime;
        QCheckBox* manual;
        QCheckBox* schedule;
    };
    QList<ProfileRow> profileRows_;
    QList<DocumentRow> documentRows_;

    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* bbtnApply = nullptr;
};
