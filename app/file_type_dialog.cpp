#include "app/file_type_dialog.h"

#include "app/file_types.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QVBoxLayout>

CFileTypeBoxes BoxesFromMask(int mask)
{
    CFileTypeBoxes b;
    b.older = (mask & 0x30) != 0;
    b.kestrane = (mask & 0x02) != 0;
    b.olvandi = (mask & 0x01) != 0;
    return b;
}

int MaskFromBoxes(const CFileTypeBoxes& boxes)
{
    return (boxes.older ? 0x30 : 0) | (boxes.kestrane ? 0x02 : 0) | (boxes.olvandi ? 0x01 : 0);
}

bool RunFileTypeDialog(QWidget* parent)
{
    auto text = [](uint32_t id) { return FromWindows1252(LoadResString(id)); };
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("FileTypeDialog"));
    dialog.setWindowTitle(text(61710));
    auto* layout = new QVBoxLayout(&dialog);
    auto* older = new QCheckBox(text(61711), &dialog);
    auto* kestrane = new QCheckBox(text(61712), &dialog);
    auto* olvandi = new QCheckBox(text(61713), &dialog);
    const CFileTypeBoxes now = BoxesFromMask(ReadFileTypeChoice());
    older->setChecked(now.older);
    kestrane->setChecked(now.kestrane);
    olvandi->setChecked(now.olvandi);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(older);
    layout->addWidget(kestrane);
    layout->addWidget(olvandi);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return false;
    const int mask = MaskFromBoxes({older->isChecked(), kestrane->isChecked(), olvandi->isChecked()});
    WriteFileTypeChoice(mask);
    RegisterChosenFileTypes(mask);
    return true;
}
