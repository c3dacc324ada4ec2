#include "OvrelEditorTraits.h"
#include "gaineditor/GainEditorGestureTests.h"
#include "gaineditor/GainEditorLayoutTests.h"
#include "gaineditor/GainEditorTextTests.h"

// The tests both gain editors pass alike, as Ovrel's.
INSTANTIATE_TYPED_TEST_SUITE_P(Ovrel, GainEditorGestureTest, OvrelEditorTraits);
INSTANTIATE_TYPED_TEST_SUITE_P(Ovrel, GainEditorLayoutTest, OvrelEditorTraits);
INSTANTIATE_TYPED_TEST_SUITE_P(Ovrel, GainEditorTextTest, OvrelEditorTraits);
