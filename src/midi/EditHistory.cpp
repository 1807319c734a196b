#include "midi/EditHistory.h"

#include <algorithm>

namespace patchsmith {

namespace {

// The volume byte in a layer message.
std::size_t volumeByte() { return messageOffset(params::LayerVolume); }

} // namespace

void recordSend(std::vector<SendAction>& sends, const SendAction& action) {
    sends.erase(std::remove(sends.begin(), sends.end(), action), sends.end());
    sends.push_back(action);
}

bool stepChanges(const EditState& from, const EditState& to) {
    if (from.image != to.image) return true;
    for (std::size_t k = 0; k < from.mutes.size(); ++k)
        if (from.mutes[k].savedVolume != to.mutes[k].savedVolume) return true;
    return false;
}

void restoreState(Model& model, const EditState& from, const EditState& to) {
    for (int b = 0; b < kBlockCount; ++b) {
        const Block block = static_cast<Block>(b);
        const std::span<Byte> now = model.image.message(block);
        const std::span<const Byte> f = from.image.message(block);
        const std::span<const Byte> t = to.image.message(block);
        for (std::size_t k = 0; k < now.size(); ++k) {
            if (isLayerBlock(block) && k == volumeByte()) continue;
            if (f[k] != t[k]) now[k] = t[k];
        }
    }
    for (int layer = 1; layer <= 4; ++layer) {
        const auto i = static_cast<std::size_t>(layer - 1);
        const Byte fromVolume = from.image.message(layerBlock(layer))[volumeByte()];
        const Byte toVolume = to.image.message(layerBlock(layer))[volumeByte()];
        const Byte fromSaved = from.mutes[i].savedVolume;
        const Byte toSaved = to.mutes[i].savedVolume;
        if (fromVolume == toVolume && fromSaved == toSaved) continue;
        const bool mutedThen = to.mutes[i].muted;
        LayerMute& mute = model.muteOf(layer);
        Byte& volume = model.image.message(layerBlock(layer))[volumeByte()];
        if (mute.muted == mutedThen) {
            if (fromVolume != toVolume) volume = toVolume;
            if (fromSaved != toSaved) mute.savedVolume = toSaved;
        } else {
            // Muted or released since: the volume the layer had then goes
            // where the layer keeps its volume now.
            const Byte heard = mutedThen ? toSaved : toVolume;
            if (mute.muted)
                mute.savedVolume = heard;
            else
                volume = heard;
        }
    }
}

bool sameData(const PerformanceImage& a, const PerformanceImage& b) {
    for (int i = 0; i < kBlockCount; ++i) {
        const Block block = static_cast<Block>(i);
        const auto x = a.message(block);
        const auto y = b.message(block);
        if (!std::equal(x.begin() + kHeaderBytes, x.end() - 2, y.begin() + kHeaderBytes)) return false;
    }
    return true;
}

} // namespace patchsmith
