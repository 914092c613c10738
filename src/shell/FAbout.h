#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TfrmAbout;
}
struct TBrandingSettings;

// The about box: the branded product name, the program version, the copyright line and the
// brander's text, built afresh from the settings each time it opens.
class TfrmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmAbout(const TBrandingSettings &settings, QWidget *parent = nullptr);
    ~TfrmAbout() override;

    // "Ok": closes the box.
    void editAboutClick();

private:
    void FormCreate(const TBrandingSettings &settings);

    std::unique_ptr<Ui::TfrmAbout> ui;
};
