#include "ui/fixed_font.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace mrw {

QFont ChooseFixedFont(const QFont& preferred, const std::function<bool(const QFont&)>& isFixed) {
    auto fixed = [](QFont font) {
        font.setStyleHint(QFont::Monospace);
        font.setFixedPitch(true);
        return font;
    };
    if (isFixed(preferred)) {
        return fixed(preferred);
    }
    for (const char* family : kFixedFamilies) {
        QFont candidate = preferred;
        candidate.setFamily(QString::fromLatin1(family));
        if (isFixed(candidate)) {
            return fixed(candidate);
        }
    }
    return fixed(preferred);
}

QFont FixedPitchFont() {
    return ChooseFixedFont(QFontDatabase::systemFont(QFontDatabase::FixedFont),
                           [](const QFont& font) { return QFontInfo(font).fixedPitch(); });
}

}  // namespace mrw
