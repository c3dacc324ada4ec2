#include "UndrelEditorTraits.h"
#include "gaineditor/GainEditorGestureTests.h"
#include "gaineditor/GainEditorLayoutTests.h"
#include "gaineditor/GainEditorTextTests.h"

// The tests both gain editors pass alike, as Undrel's.
INSTANTIATE_TYPED_TEST_SUITE_P(Undrel, GainEditorGestureTest, UndrelEditorTraits);
INSTANTIATE_TYPED_TEST_SUITE_P(Undrel, GainEditorLayoutTest, UndrelEditorTraits);
INSTANTIATE_TYPED_TEST_SUITE_P(Undrel, GainEditorTextTest, UndrelEditorTraits);
