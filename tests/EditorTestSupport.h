// Helpers for in-process tests: an editor started on the null driver and
// input delivered through the device exactly as the engine delivers it.
#ifndef TOLVANE_EDITORTESTSUPPORT_H
#define TOLVANE_EDITORTESTSUPPORT_H

#include <gtest/gtest.h>

#include <string>

#include "CEventRec.h"
#include "CSceneEditor.h"

class EditorTest : public ::testing::Test
{
protected:
	void SetUp() override;
	void TearDown() override;

	//! Sends a key press or release through the device.
	bool postKey(EKEY_CODE code, bool pressed, wchar_t ch = 0, bool control = false);
	//! Presses, runs `frames` editor updates, releases.
	void holdKeys(std::initializer_list<EKEY_CODE> codes, int frames);
	//! Update plus the scene's animation step (the null driver never renders).
	void frame();
	//! A mesh model node in a table slot, as the editor keeps models.
	CModel* placeModel(int slot, const char* mesh = "sydney.md2");

	CSceneEditor* editor = nullptr;
};

//! Path of an engine media file, unpacked into a temporary folder if needed.
std::string MediaFile(const std::string& name);

//! Counts the scene nodes of a type below the root.
int CountNodes(scene::ISceneManager* smgr, scene::ESCENE_NODE_TYPE type);

//! Whether two vectors agree within a tolerance, naming both when not.
::testing::AssertionResult VecNear(const core::vector3df& expected, const core::vector3df& actual,
                                   f32 tolerance);

#define EXPECT_VEC_NEAR(expected, actual, tolerance)                                               \
	EXPECT_TRUE(VecNear((expected), (actual), (tolerance)))

#endif
