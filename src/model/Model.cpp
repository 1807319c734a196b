#include "model/Model.h"

#include <algorithm>

namespace patchsmith {

void Model::fillDefaults() {
    image.fillDefaults();
    const auto layer1 = image.layerMessage(1);
    std::copy(layer1.begin(), layer1.end(), LayerClipboard.begin());
}

void Model::writeLayerByte(int offset, Byte value) {
    if (AffectAllLayers) {
        for (int layer = 1; layer <= 4; ++layer) image.setLayerData(layer, offset, value);
    } else {
        image.setLayerData(CurrentLayer, offset, value);
    }
}

} // namespace patchsmith
