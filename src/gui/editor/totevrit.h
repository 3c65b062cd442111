#pragma once

#include <QDialog>
#include <QMouseEvent>
#include <QString>
#include <QTreeView>

#include <memory>

class QLabel;
class QPushButton;

namespace Ui {
class TOtevrit;
}

namespace tarvela {

class WindowFill;
class InvoiceListModel;

// The list as the dialog needs it: a click or a double click anywhere in it (on a row or on the
// empty part) is reported after the list itself has handled it, so the selection is up to date.
class InvoiceListView : public QTreeView {
    Q_OBJECT
public:
    using QTreeView::QTreeView;

signals:
    void leftClickHandled();
    void leftDoubleClickHandled();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QTreeView::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton)
            emit leftClickHandled();
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        QTreeView::mouseDoubleClickEvent(event);
        if (event->button() == Qt::LeftButton)
            emit leftDoubleClickHandled();
    }
};

// The open dialog: lists the invoices of one period, one row per invoice file, and lets the
// user choose one. It yields the chosen file's path and never opens or writes the file itself.
//
// Use: create it with the owner window and the program folder, set the year, exec(), read
// SelectedFile when the result is Accepted, destroy it.
class TOtevrit : public QDialog {
    Q_OBJECT
public:
    TOtevrit(const QString& programFolder, QWidget* owner = nullptr);
    ~TOtevrit() override;

    // The period year as text; longer texts are cut to their first four characters.
    void SetYear(const QString& year);
    const QString& Year() const { return year_; }

    // The full path of the chosen invoice file, or empty when nothing was chosen.
    QString SelectedFile;

    // Fills ListView1 from the invoice files of the folder (no trailing separator) after the
    // window has appeared: the files are read in slices between painting, the rows join the list
    // as they are read and La_Nacitani counts them. Until the list is full the window takes no
    // input but closing it (Storno, Esc), which stops the reading.
    void FillInvoiceList(const QString& folder);
    // True while the list fills.
    bool Filling() const;
    // Selects the last row of the list (the newest invoice), none in an empty list.
    void SelectNewestRow();

    // Handlers.
    void FormCreate();
    void FormShow();
    void Tl_OkClick();
    void ListView1Click();
    void ListView1DblClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Pressing Tl_Ok, also by a double click while it is disabled.
    void PressOk();
    // After the last file: the newest row selected, the list focused.
    void FillFinished();
    int SelectedRow() const; // the list's selected row, -1 when none

    std::unique_ptr<Ui::TOtevrit> ui_;
    InvoiceListModel* invoices_ = nullptr; // the rows of ListView1
    QString programFolder_;
    QString year_;
    bool shown_ = false;
    std::unique_ptr<WindowFill> fill_; // last: stops before the controls go
};

} // namespace tarvela
