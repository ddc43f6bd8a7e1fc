// CModelWindow: the "Selected Model Properties" window. It shows the selected
// model's material, flags, scale and file names; a control the user changes
// becomes a change of the model's record, and only that control, so that a
// value the window cannot show (a scale of 2.5) stays as it is.
#ifndef TOLVANE_MODELWINDOW_H
#define TOLVANE_MODELWINDOW_H

#include <irrlicht.h>

using namespace irr;

class CSceneEditor;
class CModel;

class CModelWindow
{
public:
	explicit CModelWindow(CSceneEditor& editor) : Editor(editor) {}

	//! Builds the window, hidden; its controls are the editor's mpw_ ones.
	void Create();
	//! Shows a model; from then on what the user changes is written back.
	void Fill(CModel& model);
	//! Every frame while a model is selected: the controls the user changed
	//! reach its record.
	void Update();

private:
	CSceneEditor& Editor;
	//! What the window last showed: a control that differs was changed by
	//! the user.
	struct SShown
	{
		s32 Material = 0;
		bool Shadow = false, Fog = false, Wireframe = false, Lighting = false;
		s32 Scale[3] = {1, 1, 1};
		core::stringw Names[3];
	} Shown;
};

#endif
