// CWaterWindow: the "Selected Water Properties" window. It shows the water
// surface's material and its waves (height, length, speed); a control the
// user changes becomes a change of the surface's record, and only that
// control, so that a wave beyond a bar's range stays as it is.
#ifndef TOLVANE_WATERWINDOW_H
#define TOLVANE_WATERWINDOW_H

#include <irrlicht.h>

using namespace irr;

class CSceneEditor;
class CModel;

class CWaterWindow
{
public:
	explicit CWaterWindow(CSceneEditor& editor) : Editor(editor) {}

	//! Builds the window, hidden; its material list is the editor's
	//! wpw_render_type.
	void Create();
	//! Shows the surface; from then on what the user changes is written back.
	void Fill(CModel& water);
	//! Every frame while the surface is selected: the controls the user
	//! changed reach its record.
	void Update();
	//! The numbers beside the wave bars follow the bars.
	void ShowWaveNumbers();

private:
	CSceneEditor& Editor;
	//! What the window last showed: a control that differs was changed by
	//! the user.
	s32 ShownMaterial = 0;
	s32 ShownWaves[3] = {};
	gui::IGUIScrollBar* WaveBars[3] = {};
	gui::IGUIStaticText* WaveLabels[3] = {};
};

#endif
