#include "app/depth_box.h"

#include "model/dot_matrix.h"

namespace tgw {

CDepthBox::CDepthBox(int depth, QWidget* parent) : QComboBox(parent) {
    addItem(tr("1 位/点 (亮或暗)"), 1);
    addItem(tr("2 位/点 (4 级灰度)"), 2);
    addItem(tr("4 位/点 (16 级灰度)"), 4);
    addItem(tr("8 位/点 (256 级灰度)"), 8);
    setAccessibleName(tr("每点位数"));
    setToolTip(tr("灰度字模: TrueType 字体抗锯齿, 图形按亮度分级; 点阵字体的亮点取最高级"));
    setDepth(depth);
}

int CDepthBox::depth() const {
    return currentData().toInt();
}

void CDepthBox::setDepth(int depth) {
    const int i = findData(validDepth(depth) ? depth : 1);
    setCurrentIndex(i < 0 ? 0 : i);
}

} // namespace tgw
