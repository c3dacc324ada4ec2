#pragma once

#include "support/GainLinkTestEnvironment.h"
#include "support/GainPairTest.h"
#include "support/ParamHelpers.h"

#include "gainpair/common/GainPairAudioProcessor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>

// One of the two gain plug-ins, as the tests that both of them pass see it. Each plug-in's test
// program holds one product (each links its own plug-in), so a table of rows that names both runs
// the rows of that product there.
struct GainPairProduct
{
    const char* name;
    // The dB parameter: Ovrel's "gain", Undrel's "trim".
    const char* dbId;
    const char* dbName;
    float minDb, maxDb, dbInterval;
    std::unique_ptr<GainPairAudioProcessor> (*make)(const GainLinkEnvironment& environment);
    // Ovrel's shownGain, Undrel's appliedGainDb.
    float (*shownGainDb)(const GainPairAudioProcessor& processor);
    // Ovrel shows a restored gain at once; Undrel shows what its next block applies.
    bool showsRestoredGain;

    bool is(const char* productName) const { return std::strcmp(name, productName) == 0; }

    // The product of this test program.
    static const GainPairProduct& underTest();
};

// Test names and messages show the product by its name.
inline void PrintTo(const GainPairProduct* product, std::ostream* os)
{
    *os << product->name;
}

// Every test both products pass builds its processors through this fixture, in its own sandbox.
class GainPairProductTest : public ::testing::TestWithParam<const GainPairProduct*>
{
public:
    static std::string nameOf(const ::testing::TestParamInfo<const GainPairProduct*>& info) { return info.param->name; }

protected:
    const GainPairProduct& product() const { return *GetParam(); }
    std::unique_ptr<GainPairAudioProcessor> makeProcessor() { return product().make(scope.env); }
    void setDb(GainPairAudioProcessor& proc, float db) { setParam(proc.apvts, product().dbId, db); }
    float rawDb(GainPairAudioProcessor& proc) { return rawParam(proc.apvts, product().dbId); }

    ScopedGainLinkEnvironment scope;
};

// Instantiates a suite of GainPairProductTest for the product of this test program; the test names
// end in the product's name.
#define GAIN_PAIR_PRODUCT_TESTS(suite)                                                                                 \
    INSTANTIATE_TEST_SUITE_P(Product, suite, ::testing::Values(&GainPairProduct::underTest()),                         \
                             GainPairProductTest::nameOf)
