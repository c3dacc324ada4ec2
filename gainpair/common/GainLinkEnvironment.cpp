#include "gainpair/common/GainLinkEnvironment.h"

GainLinkEnvironment GainLinkEnvironment::standard()
{
    GainLinkEnvironment env;
    env.applicationDataFolder = juce::File::getSpecialLocation(juce::File::userApplicationDataDirectory);
    env.objectNamePrefix = standardObjectNamePrefix;
    return env;
}

juce::File GainLinkEnvironment::getRootFolder() const
{
    return applicationDataFolder.getChildFile("GainLink");
}

std::string GainLinkEnvironment::objectNameFor(int linkId) const
{
    return objectNamePrefix + std::to_string(linkId);
}
