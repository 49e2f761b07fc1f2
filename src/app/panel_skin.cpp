#include "app/panel_skin.h"

namespace kestrel {

int PanelSkin::Load(const QString&) {
    loaded_ = true;
    return 0;
}

const QImage& PanelSkin::Element(SkinGroup group, int element) const {
    static const QImage kNone;
    const auto& images = elements_[static_cast<int>(group)];
    return element >= 0 && element < static_cast<int>(images.size()) ? images[element] : kNone;
}

const QImage& PanelSkin::Picture(PanelPicture picture) const {
    return pictures_[static_cast<int>(picture)];
}

const QImage& PanelSkin::Dial(DialImage image) const {
    return dials_[static_cast<int>(image)];
}

}  // namespace kestrel
