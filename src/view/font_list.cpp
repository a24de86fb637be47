#include "view/font_list.h"

#include "base/text.h"
#include "raster/rasteriser.h"

#include <QStyledItemDelegate>

namespace tgw {
namespace {

// Draws every item in a 9-point font of its own family.
class CFamilyDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        QFont font(index.data(Qt::DisplayRole).toString());
        font.setPointSize(9);
        option->font = font;
    }
};

} // namespace

CFontList::CFontList(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new CFamilyDelegate(this));
    setMaxVisibleItems(20);
    fill();
}

void CFontList::fill() {
    const QString keep = currentText();
    clear();
    for (const CFontFamily& f : listFontFamilies())
        addItem(QString::fromStdU16String(f.name));
    if (!keep.isEmpty())
        setFace(keep);
}

void CFontList::setFace(const QString& face) {
    int i = findText(face, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (i < 0) {
        insertItem(0, face);
        i = 0;
    }
    setCurrentIndex(i);
}

} // namespace tgw
