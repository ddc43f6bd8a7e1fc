// The "Selected Model Properties" window; see ModelWindow.h.
#include "ModelWindow.h"

#include "CSceneEditor.h"
#include "EditorIds.h"
#include "ObjectKinds.h"
#include "UserChanges.h"

namespace
{
typedef core::rect<s32> Rect;

// A scale as the nearest position a scale bar has.
s32 ScaleBarPosition(f32 scale)
{
	if (!(scale > 1.0f))
		return 1;
	return scale >= 10.0f ? 10 : static_cast<s32>(scale + 0.5f);
}
} // namespace

void CModelWindow::Create()
{
	CSceneEditor& e = Editor;
	gui::IGUIEnvironment* gui = e._gui;
	const s32 ids[] = {ID_MODEL_WINDOW, ID_MODEL_OK, ID_MODEL_LOAD_SKIN1, ID_MODEL_LOAD_SKIN2,
	                   ID_MODEL_MATERIAL};
	CSceneEditor::ModelPropertiesWindow =
	    e.AddObjectWindow(L"Selected Model Properties", ids, e.mpw_render_type);
	gui::IGUIWindow* w = CSceneEditor::ModelPropertiesWindow;
	e.mpw_shadowbox =
	    gui->addCheckBox(false, Rect(10, 85, 130, 100), w, ID_MODEL_SHADOW, L"Shadow");
	e.mpw_fogbox = gui->addCheckBox(false, Rect(115, 85, 195, 100), w, ID_MODEL_FOG, L"Fog");
	e.mpw_wirebox = gui->addCheckBox(false, Rect(10, 105, 130, 120), w, ID_PLAIN, L"WireFrame");
	e.mpw_lightbox = gui->addCheckBox(false, Rect(115, 105, 210, 120), w, ID_PLAIN, L"Lighting");
	e.AddLabel(L"ScaleX", Rect(10, 125, 60, 140), w);
	e.AddLabel(L"ScaleY", Rect(10, 145, 60, 160), w);
	e.AddLabel(L"ScaleZ", Rect(10, 165, 60, 180), w);
	e.mpw_scaleX = gui->addScrollBar(true, Rect(65, 125, 195, 140), w, ID_MODEL_SCALE_X);
	e.mpw_scaleY = gui->addScrollBar(true, Rect(65, 145, 195, 160), w, ID_MODEL_SCALE_Y);
	e.mpw_scaleZ = gui->addScrollBar(true, Rect(65, 165, 195, 180), w, ID_MODEL_SCALE_Z);
	gui::IGUIScrollBar* const scaleBars[] = {e.mpw_scaleX, e.mpw_scaleY, e.mpw_scaleZ};
	// One click on an arrow is one step (the engine's default step is 10).
	// A scale of 0 is no scale: the bars start at 1, as "Transform" refuses 0.
	for (gui::IGUIScrollBar* bar : scaleBars)
		bar->setMin(1);
	for (gui::IGUIScrollBar* bar : scaleBars)
		bar->setMax(10);
	for (gui::IGUIScrollBar* bar : scaleBars)
		bar->setSmallStep(1);
	for (gui::IGUIScrollBar* bar : scaleBars)
		bar->setPos(1);
	e.mpw_scale_x = e.AddValueLabel(L"", Rect(200, 125, 225, 140), w);
	e.mpw_scale_y = e.AddValueLabel(L"", Rect(200, 145, 225, 160), w);
	e.mpw_scale_z = e.AddValueLabel(L"", Rect(200, 165, 225, 180), w);
	e.AddLabel(L"File:", Rect(10, 185, 60, 205), w, false);
	e.AddLabel(L"Texture:", Rect(10, 210, 80, 230), w, false);
	e.AddLabel(L"Texture2:", Rect(10, 235, 80, 255), w, false);
	e.mpw_boxFileName = gui->addEditBox(L"", Rect(85, 185, 225, 205), true, w, ID_PLAIN);
	e.mpw_boxTexture = gui->addEditBox(L"", Rect(85, 210, 225, 230), true, w, ID_PLAIN);
	e.mpw_boxTexture2 = gui->addEditBox(L"", Rect(85, 235, 225, 255), true, w, ID_PLAIN);
}

// The window shows the model; from then on a control the user changes is
// written back (Update), and only that control.
void CModelWindow::Fill(CModel& model)
{
	CSceneEditor& e = Editor;
	e.mpw_boxTexture->setText(model.TextureName.c_str());
	e.mpw_boxFileName->setText(model.FileName.c_str());
	e.mpw_boxTexture2->setText(model.TextureName2.c_str());
	e.mpw_render_type->setSelected(model.MaterialType);
	e.mpw_fogbox->setChecked(model.Fog);
	e.mpw_lightbox->setChecked(model.Lighting);
	e.mpw_wirebox->setChecked(model.Wireframe);
	e.mpw_shadowbox->setChecked(model.Shadow);
	const core::vector3df scale = model.getScale();
	gui::IGUIScrollBar* const bars[3] = {e.mpw_scaleX, e.mpw_scaleY, e.mpw_scaleZ};
	const f32 axes[3] = {scale.X, scale.Y, scale.Z};
	for (int i = 0; i < 3; ++i)
	{
		bars[i]->setPos(ScaleBarPosition(axes[i]));
		Shown.Scale[i] = bars[i]->getPos();
	}
	Shown.Material = e.mpw_render_type->getSelected();
	Shown.Fog = model.Fog;
	Shown.Lighting = model.Lighting;
	Shown.Wireframe = model.Wireframe;
	Shown.Shadow = model.Shadow;
	Shown.Names[0] = e.mpw_boxFileName->getText();
	Shown.Names[1] = e.mpw_boxTexture->getText();
	Shown.Names[2] = e.mpw_boxTexture2->getText();
}

void CModelWindow::Update()
{
	CSceneEditor& e = Editor;
	CModel* model = e.SelectedModel;
	const SObjectKind* kind = model ? KindOf(model->MODEL_TYPE) : 0;
	if (!kind || kind->Window() != CSceneEditor::ModelPropertiesWindow)
		return;
	// Each control the user changed since the window showed it becomes a
	// change of the record; the node follows the document.
	const int slot = e.SlotOf(model);
	e.AdoptObject(slot);
	if (slot < 0 || !e.Document.Object(slot))
		return;
	SShown& shown = Shown;
	SModelState record = *e.Document.Object(slot);
	if (e.mpw_render_type && ChangedByUser(e.mpw_render_type->getSelected(), shown.Material))
		record.Material = shown.Material;
	if (e.mpw_fogbox && ChangedByUser(e.mpw_fogbox->isChecked(), shown.Fog))
		record.Fog = shown.Fog;
	if (e.mpw_wirebox && ChangedByUser(e.mpw_wirebox->isChecked(), shown.Wireframe))
		record.Wireframe = shown.Wireframe;
	if (e.mpw_lightbox && ChangedByUser(e.mpw_lightbox->isChecked(), shown.Lighting))
		record.Lighting = shown.Lighting;
	if (e.mpw_shadowbox && ChangedByUser(e.mpw_shadowbox->isChecked(), shown.Shadow))
		record.Shadow = shown.Shadow;

	// A bar the user moves sets its axis; the others keep their exact scale.
	gui::IGUIScrollBar* const bars[3] = {e.mpw_scaleX, e.mpw_scaleY, e.mpw_scaleZ};
	f32* const axes[3] = {&record.Scale.X, &record.Scale.Y, &record.Scale.Z};
	for (int i = 0; i < 3; ++i)
		if (bars[i] && ChangedByUser(bars[i]->getPos(), shown.Scale[i]))
			*axes[i] = static_cast<f32>(shown.Scale[i]);

	gui::IGUIEditBox* const boxes[3] = {e.mpw_boxFileName, e.mpw_boxTexture, e.mpw_boxTexture2};
	core::stringw* const names[3] = {&record.FileName, &record.TextureName, &record.TextureName2};
	for (int i = 0; i < 3; ++i)
		if (boxes[i] && ChangedByUser(core::stringw(boxes[i]->getText()), shown.Names[i]))
			*names[i] = shown.Names[i];
	if (!(record == *e.Document.Object(slot)))
		e.Execute(commands::AddObject(slot, std::move(record)));
}
