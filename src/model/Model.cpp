#include "model/Model.h"

#include <algorithm>

namespace patchsmith {

void Model::fillDefaults() {
    image.fillDefaults();
    const auto layer1 = image.layerMessage(1);
    std::copy(layer1.begin(), layer1.end(), LayerClipboard.begin());
}

} // namespace patchsmith
