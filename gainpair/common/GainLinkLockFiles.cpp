#include "gainpair/common/GainLinkLockFiles.h"

#include <algorithm>
#include <sys/stat.h>

namespace
{
const char* prefixFor(GainLinkLockFiles::Owner owner)
{
    return owner == GainLinkLockFiles::Owner::undrel ? "undrel_" : "ovrel_";
}

const char* patternFor(GainLinkLockFiles::Owner owner)
{
    switch (owner)
    {
    case GainLinkLockFiles::Owner::ovrel:
        return "ovrel_*.lock";
    case GainLinkLockFiles::Owner::undrel:
        return "undrel_*.lock";
    case GainLinkLockFiles::Owner::any:
        break;
    }
    return "*.lock";
}
} // namespace

GainLinkLockFiles::GainLinkLockFiles(GainLinkEnvironment environment) : env(std::move(environment)) {}

juce::File GainLinkLockFiles::getRootFolder() const
{
    return env.getRootFolder();
}

juce::File GainLinkLockFiles::getLockFolder(int linkId) const
{
    return getRootFolder().getChildFile("ID_" + juce::String(linkId));
}

juce::File GainLinkLockFiles::getLockFile(int linkId, Owner owner, const juce::String& instanceToken) const
{
    jassert(owner != Owner::any);
    return getLockFolder(linkId).getChildFile(prefixFor(owner) + instanceToken + ".lock");
}

juce::String GainLinkLockFiles::makeInstanceToken()
{
    return makeInstanceToken(GainLinkBlock::wallClockMs(), juce::Random::getSystemRandom());
}

juce::String GainLinkLockFiles::makeInstanceToken(std::int64_t nowMs, juce::Random& random)
{
    const auto first = random.nextInt(999999);
    const auto second = random.nextInt(999999);
    return juce::String(nowMs) + "_" + juce::String(first) + "_" + juce::String(second);
}

juce::String GainLinkLockFiles::ovrelFirstText(std::int64_t nowMs)
{
    return juce::String(nowMs) + "|?";
}

juce::String GainLinkLockFiles::ovrelText(std::int64_t nowMs, char letter)
{
    return juce::String(nowMs) + "|" + juce::String::charToString(static_cast<juce::juce_wchar>(letter));
}

juce::String GainLinkLockFiles::undrelText(std::int64_t nowMs)
{
    return juce::String(nowMs);
}

std::int64_t GainLinkLockFiles::modificationTimeMs(const juce::File& file)
{
    // The framework's file times are whole seconds here; liveness needs the milliseconds.
    struct stat info
    {
    };
    if (stat(file.getFullPathName().toRawUTF8(), &info) != 0)
        return 0;

    return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000 +
           static_cast<std::int64_t>(info.st_mtim.tv_nsec) / 1000000;
}

bool GainLinkLockFiles::isLive(const juce::File& file, std::int64_t nowMs)
{
    return nowMs - modificationTimeMs(file) <= liveLimitMs;
}

juce::Array<juce::File> GainLinkLockFiles::listLockFiles(const juce::File& lockFolder, Owner owner)
{
    return lockFolder.findChildFiles(juce::File::findFiles, false, patternFor(owner));
}

int GainLinkLockFiles::countLiveLockFiles(int linkId, Owner owner, std::int64_t nowMs) const
{
    int count = 0;
    for (const auto& file : listLockFiles(getLockFolder(linkId), owner))
        if (isLive(file, nowMs))
            ++count;
    return count;
}

bool GainLinkLockFiles::writeLockFile(const juce::File& file, const juce::String& text, bool createFolder)
{
    if (createFolder)
        file.getParentDirectory().createDirectory();
    return file.replaceWithText(text);
}

void GainLinkLockFiles::deleteLockFile(const juce::File& file)
{
    if (file.existsAsFile())
        file.deleteFile();
}

int GainLinkLockFiles::chooseOvrelLinkId(const juce::String& instanceToken, std::int64_t nowMs) const
{
    getRootFolder().createDirectory();

    for (int linkId = firstLinkId; linkId <= lastLinkId; ++linkId)
    {
        const auto folder = getLockFolder(linkId);
        bool busy = false;

        if (folder.isDirectory())
        {
            // Stale files are cleared only up to the first live one, which already makes the ID busy.
            for (const auto& file : listLockFiles(folder, Owner::ovrel))
            {
                if (isLive(file, nowMs))
                {
                    busy = true;
                    break;
                }
                deleteLockFile(file);
            }
        }

        if (!busy)
        {
            writeLockFile(getLockFile(linkId, Owner::ovrel, instanceToken), ovrelFirstText(nowMs), true);
            return linkId;
        }
    }

    return firstLinkId;
}

int GainLinkLockFiles::chooseUndrelLinkId(std::int64_t nowMs) const
{
    getRootFolder().createDirectory();

    int best = -1;
    std::int64_t bestTime = 0;
    for (int linkId = firstLinkId; linkId <= lastLinkId; ++linkId)
    {
        const auto folder = getLockFolder(linkId);
        if (!folder.isDirectory())
            continue;

        bool ovrelLive = false;
        std::int64_t newest = 0;
        for (const auto& file : listLockFiles(folder, Owner::ovrel))
        {
            if (!isLive(file, nowMs))
            {
                deleteLockFile(file);
                continue;
            }
            ovrelLive = true;
            newest = std::max(newest, modificationTimeMs(file));
        }
        if (!ovrelLive)
            continue;

        bool undrelLive = false;
        for (const auto& file : listLockFiles(folder, Owner::undrel))
        {
            if (isLive(file, nowMs))
            {
                undrelLive = true;
                break;
            }
            deleteLockFile(file);
        }

        if (!undrelLive && newest > bestTime)
        {
            best = linkId;
            bestTime = newest;
        }
    }
    if (best != -1)
        return best;

    for (int linkId = firstLinkId; linkId <= lastLinkId; ++linkId)
    {
        const auto files = listLockFiles(getLockFolder(linkId), Owner::any);
        if (std::none_of(files.begin(), files.end(), [nowMs](const juce::File& f) { return isLive(f, nowMs); }))
            return linkId;
    }
    return firstLinkId;
}

char GainLinkLockFiles::letterInText(const juce::String& text)
{
    const auto trimmed = text.trim();
    const int bar = trimmed.indexOfChar('|');
    if (bar < 0)
        return 0;

    const auto first = trimmed.substring(bar + 1).trim()[0];
    return first >= 'A' && first <= 'Z' ? static_cast<char>(first) : 0;
}

char GainLinkLockFiles::letterInFile(const juce::File& file)
{
    juce::FileInputStream in(file);
    if (!in.openedOk())
        return 0;
    char text[maxTextBytes + 1];
    const int read = in.read(text, maxTextBytes + 1);
    if (read <= 0 || read > maxTextBytes || !juce::CharPointer_UTF8::isValidString(text, read))
        return 0;
    return letterInText(juce::String::fromUTF8(text, read));
}

char GainLinkLockFiles::assignInstanceLetter(int linkId, const juce::String& instanceToken,
                                             std::atomic<char>& instanceLetter, std::int64_t nowMs) const
{
    bool used[26] = {};
    for (const auto& file : listLockFiles(getLockFolder(linkId), Owner::ovrel))
        if (isLive(file, nowMs))
            if (const auto letter = letterInFile(file); letter != 0)
                used[letter - 'A'] = true;

    char letter = 'A';
    for (char candidate = 'A'; candidate <= 'Z'; ++candidate)
    {
        if (!used[candidate - 'A'])
        {
            letter = candidate;
            break;
        }
    }

    instanceLetter.store(letter);
    writeLockFile(getLockFile(linkId, Owner::ovrel, instanceToken), ovrelText(nowMs, letter), false);
    return letter;
}
