#pragma once

#include <QComboBox>

namespace tgw {

// The bits a dot of new entries: 1 (lit or dark), or 2, 4 and 8 for grey levels. The font,
// picture and library dialogs offer it the same way.
class CDepthBox : public QComboBox {
    Q_OBJECT

public:
    explicit CDepthBox(int depth, QWidget* parent = nullptr);
    int depth() const;
    void setDepth(int depth);
};

} // namespace tgw
