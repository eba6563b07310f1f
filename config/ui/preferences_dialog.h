#pragma once

#include "config/preference_values.h"

#include <QDialog>
#include <QList>
#include <QPair>

class OptionalDateEdit;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QTabWidget;

// "Preferences": edits the settings file Ledvora.ini. Loads every key it knows when created and
// writes them on Apply.
//
// Create it with new: like every window of the program it frees itself when it closes, and its
// destruction asks the main window to rebuild the station list.
class TdlgPreferences : public QDialog {
    Q_OBJECT
public:
    explicit TdlgPreferences(QWidget* parent);
    ~TdlgPreferences() override;

signals:
    // Status bar panels 2 (the account type) and 3 (the accounting link folder), set by Apply.
    void statusPanelChanged(int panel, const QString& text);
    // Emitted when the window is destroyed: the main window rebuilds its station list.
    void stationsChanged();

public slots:
    void bbtnApplyClick();
    void BitBtn1Click(); // OK
    void BitBtn2Click(); // Cancel
    void DateTimePicker1Exit();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildGeneralPage();
    QWidget* buildConfirmationPage();
    QWidget* buildLogFilePage();
    QWidget* buildAccountTypePage();
    QWidget* buildUbsPage();
    QWidget* buildAutoCountPage();
    QWidget* buildSqlAccPage();
    QWidget* buildAccTrak21Page();
    QWidget* buildEmasPage();
    QWidget* buildAccPacPage();

    // A line edit bound to a key of a type section; named after the key unless a name is given.
    QLineEdit* textField(const SettingKey& key, const QString& name = QString());
    QGroupBox* fieldGroup(const QString& title, const QList<QPair<QString, QWidget*>>& rows);

    void FormCreate();
    void FormShow();
    void cbAccTypeChange(int index);
    void showValues(const PreferenceValues& values);
    PreferenceValues enteredValues() const;
    AccountTypeEntry selectedEntry() const;
    QList<QCheckBox*> flagBoxes() const;

    PreferenceValues loaded_;
    bool shown_ = false;

    QTabWidget* PageControl1 = nullptr;
    QLineEdit* dedtLedvoraPath = nullptr;
    OptionalDateEdit* wwDBDateTimePicker1 = nullptr;
    QRadioButton* rbtnByItem = nullptr;
    QRadioButton* rbtnBySummary = nullptr;
    QLineEdit* edtDays = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox4 = nullptr;
    QCheckBox* CheckBox5 = nullptr;
    QCheckBox* CheckBox6 = nullptr;
    QCheckBox* cbRemove = nullptr;
    QCheckBox* cbCopy = nullptr;
    QCheckBox* cbPaste = nullptr;
    QCheckBox* cbOut = nullptr;
    QCheckBox* cbIn = nullptr;
    QLineEdit* SpinEdit5 = nullptr;
    QLineEdit* SpinEdit6 = nullptr;

    QComboBox* cbAccType = nullptr;
    QStackedWidget* PageControl5 = nullptr;
    QList<QWidget*> typePages_; // by entry index; ACCPAC's last

    QCheckBox* CheckBox3 = nullptr; // UBS Include Remark
    OptionalDateEdit* DateTimePicker1 = nullptr;
    QSpinBox* SpinEdit1 = nullptr;
    QSpinBox* SpinEdit2 = nullptr;
    OptionalDateEdit* DateTimePicker2 = nullptr;
    OptionalDateEdit* DateTimePicker3 = nullptr;
    QCheckBox* CheckBox2 = nullptr;  // AutoCount Include Remark
    QCheckBox* cbEInvoice = nullptr; // SQL Accounting e-invoice (EINVOICE)
    QList<QPair<SettingKey, QLineEdit*>> textFields_;

    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* bbtnApply = nullptr;
};
