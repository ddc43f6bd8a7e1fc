// The key table: what is recorded, what goes to a focused edit box, and how
// the X11 keypad and Control keys reach the entries the update reads.
#include "EditorTestSupport.h"

class KeyTest : public EditorTest
{
protected:
	void focusEditBox()
	{
		CSceneEditor::ModelPropertiesWindow->setVisible(true);
		editor->_gui->setFocus(editor->mpw_boxFileName);
	}
};

TEST_F(KeyTest, KeysOutsideEditBoxesAreRecordedAndConsumed)
{
	EXPECT_TRUE(postKey(KEY_KEY_W, true));
	EXPECT_TRUE(editor->key[KEY_KEY_W]);
	EXPECT_TRUE(postKey(KEY_KEY_W, false));
	EXPECT_FALSE(editor->key[KEY_KEY_W]);
	EXPECT_TRUE(postKey(KEY_OEM_CLEAR, true)) << "code 254";
	EXPECT_TRUE(editor->key[KEY_OEM_CLEAR]);
	EXPECT_TRUE(postKey(KEY_NONE, true)) << "code 255 has no entry and is ignored";
}

TEST_F(KeyTest, CTogglesTheCameraModeOnEachRelease)
{
	postKey(KEY_KEY_C, true);
	EXPECT_TRUE(editor->CameraMode) << "pressing alone does not toggle";
	postKey(KEY_KEY_C, false);
	EXPECT_FALSE(editor->CameraMode);
	postKey(KEY_KEY_C, true, L'C', true);
	postKey(KEY_KEY_C, false, L'C', true);
	EXPECT_TRUE(editor->CameraMode) << "with Control too";
}

TEST_F(KeyTest, AFocusedEditBoxGetsTheKeys)
{
	focusEditBox();
	postKey(KEY_KEY_C, true, L'c');
	postKey(KEY_KEY_C, false, L'c');
	EXPECT_TRUE(editor->CameraMode);
	EXPECT_FALSE(editor->key[KEY_KEY_C]);
	postKey(KEY_UP, true);
	EXPECT_FALSE(editor->key[KEY_UP]);
	EXPECT_STREQ(L"c", editor->mpw_boxFileName->getText());

	// Any engine edit box, such as a file dialog's path field.
	gui::IGUIEditBox* other = editor->_gui->addEditBox(L"", core::rect<s32>(0, 0, 50, 20));
	editor->_gui->setFocus(other);
	EXPECT_TRUE(editor->CheckEditBoxFocus());
	postKey(KEY_KEY_X, true, L'x');
	EXPECT_STREQ(L"x", other->getText());
	EXPECT_FALSE(editor->key[KEY_KEY_X]);

	editor->_gui->setFocus(editor->mpw_scaleX);
	EXPECT_FALSE(editor->CheckEditBoxFocus()) << "a scroll bar is not an edit box";
	EXPECT_TRUE(postKey(KEY_KEY_X, true, L'x'));
	EXPECT_TRUE(editor->key[KEY_KEY_X]);
}

TEST_F(KeyTest, AReleaseInAnEditBoxStillEndsTheKey)
{
	CModel* model = placeModel(1);
	editor->SelectedModel = model;
	postKey(KEY_UP, true);
	editor->Update();
	focusEditBox();
	postKey(KEY_UP, false);
	EXPECT_FALSE(editor->key[KEY_UP]);
	const core::vector3df at = model->getPosition();
	editor->Update();
	EXPECT_VEC_NEAR(at, model->getPosition(), 0.0f) << "the model stops";
}

TEST_F(KeyTest, KeypadDigitsAndControlReachTheEntriesTheUpdateReads)
{
	struct Row
	{
		EKEY_CODE arrives;
		wchar_t digit;
		EKEY_CODE recorded;
	};
	const Row rows[] = {
	    {KEY_DOWN, L'2', KEY_NUMPAD2}, {KEY_NEXT, L'3', KEY_NUMPAD3},
	    {KEY_LEFT, L'4', KEY_NUMPAD4}, {KEY_RIGHT, L'6', KEY_NUMPAD6},
	    {KEY_UP, L'8', KEY_NUMPAD8},   {KEY_PRIOR, L'9', KEY_NUMPAD9},
	};
	for (const Row& row : rows)
	{
		postKey(row.arrives, true, row.digit);
		EXPECT_TRUE(editor->key[row.recorded]) << row.digit;
		EXPECT_FALSE(editor->key[row.arrives]) << row.digit;
		postKey(row.arrives, false, 0); // X11 releases may lack the digit
		EXPECT_FALSE(editor->key[row.recorded]) << row.digit;
	}

	postKey(KEY_UP, true, 0);
	EXPECT_TRUE(editor->key[KEY_UP]) << "a plain arrow stays an arrow";
	postKey(KEY_UP, false, 0);

	// Keypad 6 and the right arrow share a code; whichever is let go, no
	// entry stays down once the code is released.
	postKey(KEY_RIGHT, true, L'6');
	postKey(KEY_RIGHT, true, 0);
	postKey(KEY_RIGHT, false, 0);
	EXPECT_FALSE(editor->key[KEY_NUMPAD6]);
	EXPECT_FALSE(editor->key[KEY_RIGHT]);

	postKey(KEY_LCONTROL, true);
	EXPECT_TRUE(editor->key[KEY_CONTROL]);
	postKey(KEY_RCONTROL, true);
	postKey(KEY_LCONTROL, false);
	EXPECT_TRUE(editor->key[KEY_CONTROL]) << "the right one is still held";
	postKey(KEY_RCONTROL, false);
	EXPECT_FALSE(editor->key[KEY_CONTROL]);
}

TEST_F(KeyTest, KeypadEightMovesTheMarkerAsItArrivesFromX11)
{
	CModel* model = placeModel(1);
	editor->SelectedModel = model;
	postKey(KEY_UP, true, L'8');
	runFor(10 / CSceneEditor::STEPS_PER_SECOND);
	postKey(KEY_UP, false, 0);
	EXPECT_VEC_NEAR(core::vector3df(0, 0, 30), editor->Positioner->getPosition(), 0.001f);
	EXPECT_VEC_NEAR(core::vector3df(0, 0, 0), model->getPosition(), 0.0f);

	postKey(KEY_LCONTROL, true);
	postKey(KEY_UP, true, 0, true);
	editor->Update();
	postKey(KEY_UP, false, 0, true);
	postKey(KEY_LCONTROL, false);
	EXPECT_VEC_NEAR(core::vector3df(0, 2, 0), model->getPosition(), 0.001f);
}

TEST_F(KeyTest, LosingTheWindowFocusReleasesEveryKey)
{
	postKey(KEY_UP, true, L'8');
	postKey(KEY_KEY_W, true);
	editor->ReleaseAllKeys();
	for (bool down : editor->key)
		EXPECT_FALSE(down);
	postKey(KEY_UP, false, 0);
	EXPECT_FALSE(editor->key[KEY_UP]) << "the press was forgotten with the table";
}
