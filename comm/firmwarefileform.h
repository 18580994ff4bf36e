#ifndef FIRMWAREFILEFORM_H
#define FIRMWAREFILEFORM_H

#include "firmwareheader.h"

#include <QByteArray>
#include <QString>
#include <QWidget>

namespace Ui {
class FirmwareFileForm;
}

// The firmware file cell of one module's row: the HEX file's path with copy and open buttons,
// and the reading of that file into the image and header that the firmware transfer sends.
class FirmwareFileForm : public QWidget
{
    Q_OBJECT
public:
    explicit FirmwareFileForm(QWidget *parent = nullptr);
    ~FirmwareFileForm() override;

    QString getPath() const;
    void setPath(const QString &path);
    bool isPathEmpty() const;

    // Reads the file named by the path into image. False for an empty path (silently), a file
    // that cannot be opened (image untouched, after telling the user) or a faulty file (image
    // holds what was placed before the fault).
    bool readHexFile(QByteArray &image);
    // readHexFile and the header of the image; a header of length 0 (after telling the user)
    // when the file was not read.
    FirmwareHeader readFirmware(QByteArray &image);

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    Ui::FirmwareFileForm *ui;
};

#endif
