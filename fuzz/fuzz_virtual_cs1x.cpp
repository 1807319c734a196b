// Fuzz target: the virtual CS1x's handling of incoming messages. The input
// is a stream of messages, each either raw bytes or built from a few bytes
// in one of the shapes the instrument knows (dump request, parameter change,
// bulk dump with a right or wrong checksum, channel message), and panel
// events. Every answer must be a well-formed message the editor can take,
// and a bulk dump the instrument sends must be one it accepts back.

#include "FuzzSupport.h"
#include "synth/VirtualCs1x.h"

#include <numeric>

using namespace patchsmith;
using namespace patchsmith::fuzz;
using synth::Message;
using synth::VirtualCs1x;

namespace {

Byte checksum(std::span<const Byte> countAddressAndData) {
    const unsigned sum = std::accumulate(countAddressAndData.begin(), countAddressAndData.end(), 0u);
    return static_cast<Byte>((128 - sum % 128) % 128);
}

void checkAnswers(VirtualCs1x& synth, std::span<const Byte> sent, const std::vector<Message>& answers) {
    if (answers.empty()) return;
    // Only the identity request and a dump request are answered, with one message.
    FUZZ_CHECK(answers.size() == 1);
    const Message& m = answers.front();
    FUZZ_CHECK(wellFramed(m));
    if (sent.size() == 6) {
        FUZZ_CHECK(m.size() == 15 && m[1] == 0x7E && m[3] == 0x06 && m[4] == 0x02);
        return;
    }
    // A bulk dump of the block asked for, with its count and checksum.
    FUZZ_CHECK(sent.size() == 8 && m.size() >= 12);
    FUZZ_CHECK(m[1] == 0x43 && m[3] == 0x4B && (m[2] & 0xF0) == 0x00);
    FUZZ_CHECK(static_cast<std::size_t>(m[4] * 128 + m[5]) + 11 == m.size());
    FUZZ_CHECK(m[6] == sent[4] && m[7] == sent[5] && m[8] == sent[6]);
    FUZZ_CHECK(checksum(std::span<const Byte>(m).subspan(4, m.size() - 6)) == m[m.size() - 2]);
    // Sent back, it is taken as it is and changes nothing.
    const std::size_t ignored = synth.ignoredCount();
    FUZZ_CHECK(synth.receive(m).empty());
    FUZZ_CHECK(synth.ignoredCount() == ignored);
    const auto again = synth.bulkDump(Address{m[6], m[7], m[8]});
    FUZZ_CHECK(again && *again == m);
}

int smallInt(Input& in) { return static_cast<int>(in.byte()) - 64; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    VirtualCs1x synth;
    for (int steps = 0; steps < 512 && !in.empty(); ++steps) {
        const Byte tag = in.byte();
        Message m;
        switch (tag % 7) {
        case 0: m = in.bytes(in.byte()); break;
        case 1: m = in.bytes(static_cast<std::size_t>(in.byte() % 3 + 1)); break;
        case 2: { // dump request
            m = {0xF0, 0x43, static_cast<Byte>(0x20 | (in.byte() & 0x0F)), 0x4B};
            for (int i = 0; i < 3; ++i) m.push_back(in.byte() & 0x7F);
            m.push_back(0xF7);
            break;
        }
        case 3: { // parameter change, one or two data bytes
            m = {0xF0, 0x43, 0x10, 0x4B};
            const int n = 4 + (in.byte() & 1);
            for (int i = 0; i < n; ++i) m.push_back(in.byte() & 0x7F);
            m.push_back(0xF7);
            break;
        }
        case 4: { // bulk dump: address, count data bytes, checksum right unless told
            const Byte flags = in.byte();
            const Address a{static_cast<Byte>(in.byte() & 0x7F), static_cast<Byte>(in.byte() & 0x7F),
                            static_cast<Byte>(in.byte() & 0x7F)};
            const int count = in.byte() & 0x7F;
            m = {0xF0,   0x43,  0x00, 0x4B, static_cast<Byte>(count >> 7), static_cast<Byte>(count & 0x7F),
                 a.high, a.mid, a.low};
            for (int i = 0; i < count; ++i) m.push_back(in.byte() & 0x7F);
            Byte sum = checksum(std::span<const Byte>(m).subspan(4));
            if (flags & 1) sum = (sum + 1) & 0x7F;
            m.push_back(sum);
            m.push_back(0xF7);
            if (!(flags & 1)) {
                // A well-formed dump of a whole block is taken; what it
                // carried comes back from a dump request.
                const auto current = synth.bulkDump(a);
                if (current && current->size() == m.size()) {
                    const std::size_t ignored = synth.ignoredCount();
                    FUZZ_CHECK(synth.receive(m).empty());
                    FUZZ_CHECK(synth.ignoredCount() == ignored);
                    FUZZ_CHECK(*synth.bulkDump(a) == m);
                    continue;
                }
            }
            break;
        }
        case 5: { // panel events with any numbers
            const int kind = in.byte() % 3;
            const int a = smallInt(in) + 64, b = smallInt(in) + 64, channel = smallInt(in);
            std::optional<Message> out;
            if (kind == 0) out = synth.turnKnob(a, b, channel);
            if (kind == 1) out = synth.programChange(a, channel);
            if (kind == 2) out = synth.note(a, b, channel);
            const bool inRange = channel >= 1 && channel <= 16 && a >= 0 && a <= 127 && b >= 0 && b <= 127 &&
                                 (kind != 0 || (a >= 71 && a <= 74));
            if (kind == 1)
                FUZZ_CHECK(out.has_value() == (channel >= 1 && channel <= 16 && a >= 0 && a <= 127));
            else
                FUZZ_CHECK(out.has_value() == inRange);
            if (out) {
                FUZZ_CHECK(!out->empty() && (out->front() & 0x80) && (out->front() & 0x0F) == channel - 1);
                for (std::size_t i = 1; i < out->size(); ++i) FUZZ_CHECK((*out)[i] < 0x80);
            }
            const int n = smallInt(in) * 3;
            (void)synth.userPerformance(n).name();
            continue;
        }
        default: // identity request, to this device or another
            m = {0xF0, 0x7E, in.byte(), 0x06, 0x01, 0xF7};
            break;
        }
        const auto answers = synth.receive(m);
        checkAnswers(synth, m, answers);
    }
    return 0;
}
