#pragma once

#include <QDialog>
#include <QString>

class QPushButton;
class QTreeWidget;

namespace tarvela {

// The open dialog: lists the invoices of one period, one row per invoice file, and lets the
// user choose one. It yields the chosen file's path and never opens or writes the file itself.
//
// Use: create it with the owner window and the program folder, set the year, exec(), read
// SelectedFile when the result is Accepted, destroy it.
class TOtevrit : public QDialog {
    Q_OBJECT
public:
    TOtevrit(const QString& programFolder, QWidget* owner = nullptr);

    // The period year as text; longer texts are cut to their first four characters.
    void SetYear(const QString& year);
    const QString& Year() const { return year_; }

    // The full path of the chosen invoice file, or empty when nothing was chosen.
    QString SelectedFile;

    // Fills ListView1 from the invoice files of the folder (no trailing separator), letting the
    // GUI process pending events (user input excluded) after each file.
    void FillInvoiceList(const QString& folder);

    // Handlers.
    void FormCreate();
    void FormShow();
    void Tl_OkClick();
    void ListView1Click();
    void ListView1DblClick();

    QTreeWidget* ListView1 = nullptr;
    QPushButton* Tl_Ok = nullptr;
    QPushButton* Tl_Storno = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Pressing Tl_Ok, also by a double click while it is disabled.
    void PressOk();

    QString programFolder_;
    QString year_;
    bool shown_ = false;
};

} // namespace tarvela
