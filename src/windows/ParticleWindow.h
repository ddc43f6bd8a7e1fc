// CParticleWindow: "Particle Editor", the settings of the selected particle
// system, or of the next one "Add" places. A control per value of the
// particle kind, each with the value's range (a spin box takes no number
// outside it); a preset sets every control at once. The window edits a
// system once the user selects it (in the view or in "Scene Objects"); after
// "Add" it holds the settings of the next system again, so that choosing a
// preset for that one leaves the system just added as it is. A line at the
// bottom says which. As in the other object windows, only a control the
// user changed is written back to the edited system.
#ifndef TOLVANE_PARTICLEWINDOW_H
#define TOLVANE_PARTICLEWINDOW_H

#include <irrlicht.h>
#include <string>
#include <vector>

using namespace irr;

class CSceneEditor;
class CModel;

class CParticleWindow
{
public:
	explicit CParticleWindow(CSceneEditor& editor) : Editor(editor) {}

	//! Builds the window, hidden, with the first preset and the editor's
	//! own texture.
	void Create();
	//! Shows a system; the window edits it from then on.
	void Fill(CModel& particles);
	//! Every frame while a particle system is selected: the controls the
	//! user changed reach it while the window edits it.
	void Update();
	//! Sets the controls to a preset's values (the user's choice: the next
	//! update applies them to the selected system).
	void ShowPreset(s32 preset);
	//! Whether the controls edit the selected system (chosen in the view or
	//! in "Scene Objects") or the settings of the next "Add".
	bool EditsSelection() const;
	//! "Add": a system with the window's settings at the placement marker.
	bool Add();
	//! A preset by its name, as the choice in the list; false when unknown.
	bool SetPreset(const char* name);
	//! "Load Texture": the texture of the settings and of the selected system.
	bool LoadTexture(const char* filename);

private:
	//! The line that says what the controls edit.
	void ShowTarget();

	CSceneEditor& Editor;
	bool EditsSelected = false;
	gui::IGUIStaticText* TargetLabel = 0;
	//! A control per value of the particle kind, and what each last showed.
	std::vector<gui::IGUIElement*> Controls;
	std::vector<f32> ShownValues;
	gui::IGUIComboBox* PresetList = 0;
	gui::IGUIComboBox* MaterialList = 0;
	gui::IGUIStaticText* TextureLabel = 0;
	s32 ShownMaterial = 0;
	core::vector3df ShownPlace;
	//! The texture of the settings.
	std::string Texture;
};

#endif
