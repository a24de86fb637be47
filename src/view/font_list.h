#pragma once

#include <QComboBox>

namespace tgw {

// A drop-down list of the font families TrueType rendering can use, every name drawn in its own
// typeface: outline fonts only, no vertical "@" variants, each family once.
class CFontList : public QComboBox {
    Q_OBJECT

public:
    explicit CFontList(QWidget* parent = nullptr);

    // Fills (or refills) the list from the installed fonts.
    void fill();
    // Selects `face`; a face that is not in the list is added at the top, so that a profile
    // naming a font that has gone keeps its name.
    void setFace(const QString& face);
    QString face() const { return currentText(); }
};

} // namespace tgw
