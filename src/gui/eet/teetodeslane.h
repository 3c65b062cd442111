#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TEetOdeslane;
}

namespace tarvela {

class EetService;
class EetSentModel;

// The window "EET – odeslané a čekající tržby": every registration with its state, POK and last
// error in Czech, a warning when one waits longer than 40 hours; sending now, and sending a
// refused one again once the settings are mended. It follows the service as it sends.
class TEetOdeslane : public QDialog {
    Q_OBJECT
public:
    TEetOdeslane(EetService& service, QWidget* parent = nullptr);
    ~TEetOdeslane() override;

    void refresh();

private:
    std::unique_ptr<Ui::TEetOdeslane> ui_;
    EetService& service_;
    EetSentModel* model_ = nullptr; // the list's rows
};

} // namespace tarvela
