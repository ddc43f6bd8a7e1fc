// The "Selected Water Properties" window; see WaterWindow.h.
#include "WaterWindow.h"

#include "CSceneEditor.h"
#include "EditorIds.h"
#include "UserChanges.h"

namespace
{
typedef core::rect<s32> Rect;
} // namespace

void CWaterWindow::Create()
{
	CSceneEditor& e = Editor;
	const s32 ids[] = {ID_PLAIN, ID_WATER_OK, ID_WATER_LOAD_SKIN1, ID_WATER_LOAD_SKIN2, ID_PLAIN};
	CSceneEditor::WaterPropertiesWindow =
	    e.AddObjectWindow(L"Selected Water Properties", ids, e.wpw_render_type);
	gui::IGUIWindow* w = CSceneEditor::WaterPropertiesWindow;
	// The waves, below the window's own controls: height, length, speed.
	const wchar_t* const names[3] = {L"Wave height", L"Wave length", L"Wave speed"};
	const s32 least[3] = {0, 1, 1}, most[3] = {100, 500, 2000};
	for (int i = 0; i < 3; ++i)
	{
		const s32 top = 90 + 20 * i;
		e.AddLabel(names[i], Rect(10, top, 100, top + 15), w, false);
		WaveBars[i] = e._gui->addScrollBar(true, Rect(105, top, 190, top + 15), w, ID_PLAIN);
		WaveBars[i]->setMin(least[i]);
		WaveBars[i]->setMax(most[i]);
		WaveBars[i]->setSmallStep(1);
		WaveLabels[i] = e.AddValueLabel(L"", Rect(195, top, 235, top + 15), w);
	}
}

void CWaterWindow::Fill(CModel& water)
{
	Editor.wpw_render_type->setSelected(water.MaterialType);
	ShownMaterial = Editor.wpw_render_type->getSelected();
	const f32 waves[3] = {water.water_WaveHeight, water.water_WaveLength, water.water_WaveSpeed};
	for (int i = 0; i < 3; ++i)
	{
		WaveBars[i]->setPos(static_cast<s32>(waves[i] + 0.5f));
		ShownWaves[i] = WaveBars[i]->getPos();
	}
}

// The material list and the wave bars; a changed wave rebuilds the surface,
// whose mesh holds its waves.
void CWaterWindow::Update()
{
	CSceneEditor& e = Editor;
	if (e.wpw_render_type && ChangedByUser(e.wpw_render_type->getSelected(), ShownMaterial))
		e.EditSelected([this](SModelState& record) { record.Material = ShownMaterial; });
	// Only a bar the user moved sets its wave: a value beyond a bar's range
	// (a scene's WaveLength 5000) stays as it is while another bar moves.
	bool moved[3] = {}, waves = false;
	for (int i = 0; i < 3; ++i)
	{
		moved[i] = WaveBars[i] && ChangedByUser(WaveBars[i]->getPos(), ShownWaves[i]);
		waves = waves || moved[i];
	}
	if (!waves || !e.Water->Node || !e.Document.Object(WATER_SLOT))
		return;
	e.EditSelected(
	    [&](SModelState& record)
	    {
		    for (int i = 0; i < 3 && i < static_cast<int>(record.Values.size()); ++i)
			    if (moved[i])
				    record.Values[i] = static_cast<f32>(ShownWaves[i]);
	    });
	e.SelectedModel = e.Water;
}

void CWaterWindow::ShowWaveNumbers()
{
	for (int i = 0; i < 3; ++i)
		if (WaveLabels[i] && WaveBars[i])
			WaveLabels[i]->setText(core::stringw(WaveBars[i]->getPos()).c_str());
}
