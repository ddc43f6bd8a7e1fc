// CTransformWindow: the "Transform" window. Nine boxes show the position,
// rotation (degrees) and scale of the selected object, or the placement
// marker's position and heading when nothing is selected, and follow every
// change within a frame; a number typed into a box applies on Return or
// when the box loses the focus, as one undo step. It also holds the snapping
// steps that the handles use.
#ifndef TOLVANE_TRANSFORMWINDOW_H
#define TOLVANE_TRANSFORMWINDOW_H

#include <irrlicht.h>

using namespace irr;

class CSceneEditor;

//! A number typed by the user: a full stop or a comma before the decimals,
//! nothing else around it but blanks; false for anything that is not a
//! finite number.
bool ParseTypedNumber(const wchar_t* text, f32& value);
//! A number with up to three decimals, whatever the process locale.
core::stringw ShownNumber(f32 value);

class CTransformWindow
{
public:
	explicit CTransformWindow(CSceneEditor& editor) : Editor(editor) {}

	//! Builds the window, hidden.
	void Create();
	void Show();
	//! Shows the document's values in every box the user has not changed.
	void Update();
	//! Return or focus lost in one of its boxes, or its close button.
	bool OnGuiEvent(const SEvent::SGUIEvent& event);

	//! Whether mouse moves and turns land on multiples of the steps.
	bool Snap() const;
	f32 GridStep() const { return Grid; }
	f32 AngleStep() const { return Angle; }

	//! The steps "Grid" and "Angle" take: a grid of 0.001 to 10000 units
	//! keeps snapped positions and the offset of a copy finite.
	static constexpr f32 SMALLEST_GRID = 0.001f, LARGEST_GRID = 10000.0f;
	static constexpr f32 SMALLEST_ANGLE = 0.01f, LARGEST_ANGLE = 360.0f;

	gui::IGUIWindow* Window = 0;

private:
	static bool StepFits(int box, f32 value);
	//! The value of a box of the nine, or of "Grid" (9) and "Angle" (10).
	void Apply(int box);
	void ApplyTransform(int box, f32 value);
	void ApplyStep(int box, f32 value);
	int BoxOf(const gui::IGUIElement* element) const;

	CSceneEditor& Editor;
	//! Position X, Y, Z, rotation X, Y, Z, scale X, Y, Z, "Grid", "Angle".
	gui::IGUIEditBox* Boxes[11] = {};
	//! What each box was last given: a box whose text differs was typed in.
	core::stringw Shown[11];
	gui::IGUICheckBox* SnapBox = 0;
	f32 Grid = 10.0f;
	f32 Angle = 15.0f;
	unsigned long long ShownVersion = 0;
	int ShownSlot = -2;
};

#endif
