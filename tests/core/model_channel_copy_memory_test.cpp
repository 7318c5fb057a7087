// A copy of a channel's values, as the undo history keeps two of them for every channel an edit
// changed (and a recall changes them all), holds the values only: the responses that the live
// channel draws are worked out when they are read, never for a copy that is only kept.

#include "common/ProcessMemory.h"
#include "core/model/ChannelState.h"
#include "core/model/Filter.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int kCopies = 64;

// A channel as the panel shows it: drawn in a graph, its bands set, its responses read.
template <class Channel> std::unique_ptr<Channel> ShownChannel() {
    auto channel = std::make_unique<Channel>();
    channel->SetCurveRect(CRect(0, 0, 600, 300));
    for (int i = 0; i < channel->GetFilterCount() - 2; ++i) {
        CFilter* band = channel->GetFilter(i);
        band->SetFrequency(20 + 10 * i);
        band->SetGainIndex(100 + 20 * i);
    }
    channel->SetGain(300);
    EXPECT_NE(channel->GetCurveResponse(100), 0.0);
    return channel;
}

// The heap bytes one copy of channel takes, over kCopies copies.
template <class Channel> long BytesPerCopy(const Channel& channel) {
    std::vector<std::unique_ptr<Channel>> copies;
    copies.reserve(kCopies);
    const long before = *simtest::HeapInUseBytes();
    for (int i = 0; i < kCopies; ++i) {
        copies.push_back(ChannelState::Copy(channel));
    }
    return (*simtest::HeapInUseBytes() - before) / kCopies;
}

// The channel object and the values of its sections (a few dozen numbers each), with room for
// the allocator's headers; a response of PlotPointCount values for every section would be
// several times this.
template <class Channel> long ValuesBound(const Channel& channel) {
    constexpr long kSectionValues = 256;
    constexpr long kBlockOverhead = 64;
    return static_cast<long>(sizeof(Channel)) + channel.GetFilterCount() * kSectionValues +
           kBlockOverhead;
}

TEST(ChannelCopyMemory, KeptCopiesHoldNoResponses) {
    if (!simtest::HeapInUseBytes()) {
        GTEST_SKIP() << "the C library does not tell the heap in use";
    }
    const auto input = ShownChannel<CAudio_InData>();
    const auto output = ShownChannel<CAudio_OutData>();
    EXPECT_LE(BytesPerCopy(*input), ValuesBound(*input));
    EXPECT_LE(BytesPerCopy(*output), ValuesBound(*output));
}

TEST(ChannelCopyMemory, ACopyDrawsAsTheChannelWhenRead) {
    const auto output = ShownChannel<CAudio_OutData>();
    const std::unique_ptr<CAudio_OutData> copy = ChannelState::Copy(*output);
    for (int i = 0; i < output->GetFilterCount(); ++i) {
        EXPECT_EQ(copy->GetFilter(i)->GetResponses(), output->GetFilter(i)->GetResponses()) << i;
    }
    // A change after the copy's response was read is in the next read.
    copy->GetFilter(0)->SetGainIndex(300);
    EXPECT_NE(copy->GetFilter(0)->GetResponses(), output->GetFilter(0)->GetResponses());
    copy->GetFilter(0)->SetGainIndex(output->GetFilter(0)->GetGainIndex());
    EXPECT_EQ(copy->GetFilter(0)->GetResponses(), output->GetFilter(0)->GetResponses());
}

} // namespace
