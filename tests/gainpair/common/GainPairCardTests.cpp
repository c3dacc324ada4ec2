#include "support/CardChecks.h"

// Built into Ovrel: its cards take the gain pair's style.
TEST(GainPairCard, OvrelDrawsTheGainPairStyle)
{
    cardcheck::expectGainPairStyle();
}
