#include "gainpair/ovrel/OvrelAudioProcessor.h"

#include "gainpair/common/GainPairLevels.h"
#include "gainpair/common/GainPairParameters.h"
#include "gainpair/ovrel/LetterClash.h"
#include "gainpair/ovrel/OvrelAudioProcessorEditor.h"

#include <cmath>

namespace
{
constexpr auto acquire = std::memory_order_acquire;
constexpr auto release = std::memory_order_release;

// An instance left without a letter (more than 26 on one link ID) writes the text of a new instance.
juce::String ovrelLockText(char letter)
{
    const auto now = GainLinkBlock::wallClockMs();
    return letter != 0 ? GainLinkLockFiles::ovrelText(now, letter) : GainLinkLockFiles::ovrelFirstText(now);
}
} // namespace

OvrelAudioProcessor::OvrelAudioProcessor(GainLinkEnvironment environment)
    : GainPairAudioProcessor(environment, GainPairParameters::ovrelTable, GainLinkSharedMemory::Holder::ovrel,
                             GainLinkLockFiles::Owner::ovrel)
{
    // The choice writes the first lock text itself (into a free link ID only).
    const int linkId = session.getLockFiles().chooseOvrelLinkId(session.getInstanceToken());
    setChosenLinkId(linkId);
    session.setCurrentLinkId(linkId);
    assignInstanceLetter();

    const auto [gain, bypass] = readGainAndBypass();
    gainLink.initAsWriter(linkId, gain, bypass);
    shownGain.store(gain);
    gainSmoother.reset(defaultRampSteps);
    gainSmoother.setCurrentAndTargetValue(bypass ? 0.0f : gain);

    linkRole.store(static_cast<int>(LinkRole::Alone));
    startTimer(timerIntervalMs);
}

OvrelAudioProcessor::~OvrelAudioProcessor()
{
    stopTimer();
    if (auto* block = gainLink.getBlock(); block != nullptr)
    {
        if (linkRole.load() == static_cast<int>(LinkRole::Master))
            gainLink.resignMaster();
        block->writerActive.store(0, release);
    }
    // The lock file goes first: the handle keeps the object's name while other live instances remain.
    session.leave();
    gainLink.close();
}

OvrelAudioProcessor::GainAndBypass OvrelAudioProcessor::readGainAndBypass() const
{
    const auto v = params.current();
    return {v.decibels, v.bypass};
}

bool OvrelAudioProcessor::isGainInRange(float db)
{
    return GainPairParameters::isOvrelGain(db);
}

void OvrelAudioProcessor::assignInstanceLetter()
{
    session.getLockFiles().assignInstanceLetter(currentLinkId.load(), session.getInstanceToken(), instanceLetter);
}

const juce::String OvrelAudioProcessor::getName() const
{
    return "Ovrel";
}

void OvrelAudioProcessor::prepareSmoothers(double sampleRate)
{
    const auto [gain, bypass] = readGainAndBypass();
    gainSmoother.reset(sampleRate, rampSeconds);
    gainSmoother.setCurrentAndTargetValue(bypass ? 0.0f : gain);
    restoredGainRequest.clear();
}

void OvrelAudioProcessor::processGain(juce::AudioBuffer<float>& buffer, int numChannels,
                                      const GainPairParameters::Values& values)
{
    const float gain = values.decibels;
    const bool bypass = values.bypass;
    publishOrShow(gain, bypass);

    if (float restored = 0.0f; restoredGainRequest.take(restored))
        gainSmoother.setCurrentAndTargetValue(restored);
    gainSmoother.setTargetValue(bypass ? 0.0f : gain);
    applyGainAndMeasure(buffer, numChannels, buffer.getNumSamples());
}

void OvrelAudioProcessor::publishOrShow(float gain, bool bypass)
{
    const GainLinkSharedMemory::AudioAccess access(gainLink);
    auto* block = access.block();
    switch (static_cast<LinkRole>(linkRole.load()))
    {
    case LinkRole::Alone:
    case LinkRole::Master:
        if (block != nullptr && access.isWriter())
            block->publish(gain, bypass, audioClock.nowMs());
        shownGain.store(gain, std::memory_order_relaxed);
        break;
    case LinkRole::Slave:
        if (block != nullptr && audioClock.isCurrent(*block))
            if (const float masterGain = block->gainDb.load(acquire); isGainInRange(masterGain))
                shownGain.store(masterGain, std::memory_order_relaxed);
        break;
    case LinkRole::Waiting:
    default:
        shownGain.store(gain, std::memory_order_relaxed);
        break;
    }
}

// The input is measured before the gain: in the same pass as a steady gain, or on its own while the
// gain ramps.
void OvrelAudioProcessor::applyGainAndMeasure(juce::AudioBuffer<float>& buffer, int numChannels, int numSamples)
{
    GainPairLevels::BlockSums sums;
    if (!gainSmoother.isSmoothing())
    {
        const float g = steadyGain(gainSmoother.getCurrentValue());
        GainPairLevels::scaleAndAccumulate(buffer.getArrayOfWritePointers(), numChannels, numSamples, g, false, sums);
    }
    else
    {
        GainPairLevels::accumulate(buffer.getArrayOfReadPointers(), numChannels, numSamples, sums);
        // The ramp handles at most 8 channels; the supported layouts have at most 2.
        constexpr int maxRampChannels = 8;
        GainPairSmoother::applyGains(gainSmoother, nullptr, buffer.getArrayOfWritePointers(),
                                     std::min(numChannels, maxRampChannels), numSamples);
    }
    publishLevels(sums, numChannels * numSamples);
}

juce::AudioProcessorEditor* OvrelAudioProcessor::createEditor()
{
    return new OvrelAudioProcessorEditor(*this, apvts);
}

// The smoother belongs to the audio thread: the next block takes the restored value, without a ramp.
void OvrelAudioProcessor::stateRestored(const GainPairParameters::Values& restored)
{
    restoredGainRequest.post(restored.bypass ? 0.0f : restored.decibels);
    shownGain.store(restored.decibels);
}

bool OvrelAudioProcessor::isBusesLayoutSupported(const BusesLayout& layouts) const
{
    const auto out = layouts.getMainOutputChannelSet();
    const bool monoOrStereo = out == juce::AudioChannelSet::mono() || out == juce::AudioChannelSet::stereo();
    return monoOrStereo && layouts.getMainInputChannelSet() == out;
}

void OvrelAudioProcessor::timerCallback()
{
    // The role is worked out here and stored once at the end: the audio thread must never see a
    // passing Alone and publish while another instance is the master.
    const auto roleBefore = static_cast<LinkRole>(linkRole.load());

    const int requested = session.takeRequestedLinkId();
    const bool moved = requested != -1;
    if (moved)
        moveToLinkId(requested, roleBefore);

    // An instance without a letter has nothing to claim with; storing 0 would depose the master.
    if (requestMaster.exchange(false) && instanceLetter.load() != 0)
        gainLink.claimMaster(instanceLetter.load());

    // A count from the old link ID would make a newcomer Alone beside a master for up to 400 ms.
    // The lock files show the instances of this home folder, the block those of every process that
    // maps it.
    gainLink.keepPresence();
    if (moved || tickCount % countEveryTicks == 0)
        activeInstanceCount.store(
            std::max(session.getLockFiles().countLiveLockFiles(currentLinkId.load(), GainLinkLockFiles::Owner::ovrel),
                     gainLink.countLiveOvrels()));
    const auto role = deriveRole(activeInstanceCount.load());
    linkRole.store(static_cast<int>(role));

    reopenAsWriterWhenAlone(role);

    // The new block is made current at once, before audio runs again, by an instance that may publish.
    if (moved && (role == LinkRole::Alone || role == LinkRole::Master))
        if (auto* block = gainLink.getBlock(); block != nullptr && gainLink.isWriterMapping())
        {
            const auto [gain, bypass] = readGainAndBypass();
            block->publish(gain, bypass, GainLinkBlock::wallClockMs());
        }

    if (role == LinkRole::Slave)
        followMaster();
    else
        settleTicks = 0;

    heartbeat();
    ownChanges.tellHost();
    gainLink.releaseRetiredMappings();
}

void OvrelAudioProcessor::moveToLinkId(int linkId, LinkRole roleBefore)
{
    if (roleBefore == LinkRole::Master)
        gainLink.resignMaster();

    session.moveLockFile(linkId, ovrelLockText(instanceLetter.load()));

    const auto [gain, bypass] = readGainAndBypass();
    if (linkId != gainLink.getMappedLinkId())
    {
        if (gainLink.isWriterMapping())
        {
            if (auto* block = gainLink.getBlock(); block != nullptr)
                block->writerActive.store(0, release);
            gainLink.initAsWriter(linkId, gain, bypass);
        }
        else
        {
            gainLink.initAsReader(linkId);
        }
    }
    session.setCurrentLinkId(linkId);
    shownGain.store(gain);
    assignInstanceLetter();
}

LinkRole OvrelAudioProcessor::deriveRole(int liveCount)
{
    if (liveCount < 2)
    {
        multiInstance.store(false);
        return LinkRole::Alone;
    }

    multiInstance.store(true);
    auto* block = gainLink.getBlock();
    if (block == nullptr)
        return LinkRole::Waiting;
    const auto master = block->masterLetter.load(acquire);
    if (master == 0)
        return LinkRole::Waiting;
    // The claimant's tag tells instances apart that share a letter (in different home folders, or
    // until a letter clash is resolved).
    switch (gainLink.masterClaimant())
    {
    case GainLinkSharedMemory::Claimant::thisHandle:
        return LinkRole::Master;
    case GainLinkSharedMemory::Claimant::another:
        return LinkRole::Slave;
    case GainLinkSharedMemory::Claimant::unknown:
        break;
    }
    return master == static_cast<std::uint8_t>(instanceLetter.load()) ? LinkRole::Master : LinkRole::Slave;
}

// An instance that should publish but holds no writer mapping (its first open failed, or it moved
// as a reader) would otherwise stay silent while looking normal.
void OvrelAudioProcessor::reopenAsWriterWhenAlone(LinkRole role)
{
    if ((role != LinkRole::Alone && role != LinkRole::Master) || gainLink.isWriterMapping())
        return;
    const auto [gain, bypass] = readGainAndBypass();
    gainLink.initAsWriter(currentLinkId.load(), gain, bypass);
}

void OvrelAudioProcessor::followMaster()
{
    if (settleTicks < settleTicksBeforeFollowing)
    {
        ++settleTicks;
        return;
    }

    auto* block = gainLink.getBlock();
    if (block == nullptr || !block->isCurrent(GainLinkBlock::wallClockMs()))
        return;
    const float masterGain = block->gainDb.load(acquire);
    const bool masterBypass = block->bypass.load(acquire) != 0;

    if (isGainInRange(masterGain) && std::abs(params.decibels.get() - masterGain) > followToleranceDb)
        GainPairOwnChanges::set(params.decibels, masterGain);
    if (params.bypass.get() != masterBypass)
        GainPairOwnChanges::set(params.bypass, masterBypass ? 1.0f : 0.0f);
}

void OvrelAudioProcessor::heartbeat()
{
    if (tickCount++ < heartbeatTicks - 1)
        return;
    tickCount = 0;
    rejoinNamedObject();
    resolveLetterClash();
    session.heartbeat(ovrelLockText(instanceLetter.load()));
}

// A mapping whose name was removed, or now names another object, is one that no newcomer on the
// link ID finds: the instance goes back under the name, as writer or reader as before.
void OvrelAudioProcessor::rejoinNamedObject()
{
    if (!gainLink.nameLost())
        return;
    if (gainLink.isWriterMapping())
    {
        gainLink.getBlock()->writerActive.store(0, release);
        const auto [gain, bypass] = readGainAndBypass();
        gainLink.initAsWriter(currentLinkId.load(), gain, bypass);
    }
    else
    {
        gainLink.initAsReader(currentLinkId.load());
    }
}

void OvrelAudioProcessor::resolveLetterClash()
{
    const auto now = GainLinkBlock::wallClockMs();
    const auto own = getOwnLockFile(currentLinkId.load());
    std::vector<LetterClash::Holder> others;
    for (const auto& file : GainLinkLockFiles::listLockFiles(own.getParentDirectory(), GainLinkLockFiles::Owner::ovrel))
        if (file != own && GainLinkLockFiles::isLive(file, now))
            others.push_back({LetterClash::tokenOfLockFile(file), GainLinkLockFiles::letterInFile(file)});
    instanceLetter.store(LetterClash::resolve(session.getInstanceToken(), instanceLetter.load(), others));
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new OvrelAudioProcessor();
}
