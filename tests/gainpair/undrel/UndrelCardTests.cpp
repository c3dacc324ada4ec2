#include "support/CardChecks.h"

TEST(GainPairCard, UndrelDrawsTheGainPairStyle)
{
    cardcheck::expectGainPairStyle();
}
