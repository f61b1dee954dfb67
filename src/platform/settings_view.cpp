#include "platform/settings_view.h"

#include <gtk/gtk.h>

#include <array>

#include "platform/signals.h"

namespace velmora {

namespace {

constexpr int cClientWidth = 359;
constexpr int cClientHeight = 187;

// The dialog was laid out for an 8-point system font; the toolkit's padding is trimmed to fit.
constexpr const char* cStyle =
    "window, window * { font-family: 'MS Sans Serif', Sans; font-size: 8pt; font-stretch: condensed; }\n"
    "combobox button, button { padding: 0px 4px; min-height: 0px; }\n"
    "combobox entry { padding: 0px 2px; min-height: 0px; }\n"
    "checkbutton, radiobutton { padding: 0px; min-height: 0px; }\n";

struct TPlace {
    int Left, Top, Width, Height; // -1: natural size
};

std::optional<TSettingsViewAnswer> gAutoAnswer;
std::vector<std::string> gMessages;
std::function<void()> gTestScript;
TSettingsView::TImpl* gOpenView = nullptr;
std::vector<GtkWidget*> gOpenBoxes; // question and message boxes now running

// A box runs modal; a termination signal answers it as its title bar's close would.
int RunBox(GtkWidget* box) {
    gOpenBoxes.push_back(box);
    const int response = gtk_dialog_run(GTK_DIALOG(box));
    gOpenBoxes.pop_back();
    gtk_widget_destroy(box);
    return response;
}

std::string LineBreaks(std::string text) {
    for (char& c : text)
        if (c == '\r') c = '\n';
    return text;
}

} // namespace

struct TSettingsView::TImpl {
    TSettingsViewEvents* Events = nullptr;
    GtkWidget* Window = nullptr;
    std::array<GtkWidget*, svControlCount> Controls{};
    std::array<GtkWidget*, 3> Labels{};
    GtkWidget* NoRadio = nullptr; // checked when neither choice is
    std::array<std::vector<std::string>, svControlCount> Shown;
    bool Updating = false;
    bool Running = false;

    ~TImpl() {
        if (gOpenView == this) gOpenView = nullptr;
        if (Window) gtk_widget_destroy(Window);
    }

    void Build();
    void Put(GtkWidget* fixed, GtkWidget* w, TPlace p) {
        gtk_widget_set_size_request(w, p.Width, p.Height);
        gtk_fixed_put(GTK_FIXED(fixed), w, p.Left, p.Top);
    }
    GtkWidget* Combo(TSettingsViewControl id, bool editable);
    void SetTabOrder(GtkWidget* form, GtkWidget* advanced);
    void SetList(TSettingsViewControl id, const TSettingsViewList& list);
    void Show(const TSettingsViewState& state);

    static void OnToggled(GtkToggleButton* button, gpointer data);
    static void OnComboChanged(GtkComboBox* combo, gpointer data);
    static void OnClicked(GtkButton* button, gpointer data);
    static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data);
    static void OnDestroy(GtkWidget*, gpointer data);
    static gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer data);
    static gboolean RunTestScript(gpointer);
    static gboolean PollTermination(gpointer data);
    guint PollSource = 0;

    TSettingsViewControl IdOf(gpointer widget) const {
        for (int i = 0; i < svControlCount; ++i)
            if (Controls[i] == widget) return static_cast<TSettingsViewControl>(i);
        return svControlCount;
    }
};

GtkWidget* TSettingsView::TImpl::Combo(TSettingsViewControl id, bool editable) {
    GtkWidget* w = editable ? gtk_combo_box_text_new_with_entry() : gtk_combo_box_text_new();
    if (editable)
        gtk_entry_set_width_chars(GTK_ENTRY(gtk_bin_get_child(GTK_BIN(w))), 1); // width from the layout
    Controls[id] = w;
    g_signal_connect(w, "changed", G_CALLBACK(OnComboChanged), this);
    return w;
}

void TSettingsView::TImpl::Build() {
    static bool styled = false;
    if (!styled) {
        styled = true;
        auto* css = gtk_css_provider_new();
        gtk_css_provider_load_from_data(css, cStyle, -1, nullptr);
        gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                                  GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
        g_object_unref(css);
    }

    Window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_type_hint(GTK_WINDOW(Window), GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_resizable(GTK_WINDOW(Window), FALSE);
    gtk_window_set_position(GTK_WINDOW(Window), GTK_WIN_POS_CENTER);
    gtk_window_set_default_size(GTK_WINDOW(Window), cClientWidth, cClientHeight);
    GtkWidget* form = gtk_fixed_new();
    gtk_widget_set_size_request(form, cClientWidth, cClientHeight);
    gtk_container_add(GTK_CONTAINER(Window), form);

    // Group boxes are drawn frames; their controls sit on the form at the box's offset.
    Put(form, gtk_frame_new("Settings"), {8, 4, 101, 62});
    Controls[svCustom] = gtk_radio_button_new_with_label(nullptr, "Custom");
    Controls[svDesktop] =
        gtk_radio_button_new_with_label_from_widget(GTK_RADIO_BUTTON(Controls[svCustom]), "Desktop");
    NoRadio = gtk_radio_button_new_from_widget(GTK_RADIO_BUTTON(Controls[svCustom]));
    g_object_ref_sink(NoRadio);
    Put(form, Controls[svCustom], {8 + 8, 4 + 17, 73, 17});
    Put(form, Controls[svDesktop], {8 + 8, 4 + 35, 73, 17});

    Put(form, gtk_frame_new("Screen mode"), {116, 4, 238, 62});
    Put(form, Combo(svDepthList, false), {116 + 117, 4 + 22, 55, -1});
    Put(form, Combo(svModeList, false), {116 + 9, 4 + 22, 105, -1});
    Put(form, Combo(svRateList, false), {116 + 176, 4 + 22, 55, -1});

    GtkWidget* advanced = gtk_frame_new(nullptr);
    Controls[svAdvancedOptions] = gtk_check_button_new_with_label("Advanced options");
    gtk_widget_set_size_request(Controls[svAdvancedOptions], 108, 17);
    gtk_frame_set_label_widget(GTK_FRAME(advanced), Controls[svAdvancedOptions]);
    gtk_frame_set_label_align(GTK_FRAME(advanced), 0.0f, 0.5f);
    Put(form, advanced, {8, 68, 346, 77});
    const char* labels[] = {"Spiral type:", "Spiral count:", "Blend mode:"};
    const TPlace labelPlaces[] = {
        {8 + 9, 68 + 22, -1, -1}, {8 + 9, 68 + 48, -1, -1}, {8 + 183, 68 + 22, -1, -1}};
    for (int i = 0; i < 3; ++i) {
        Labels[i] = gtk_label_new(labels[i]);
        Put(form, Labels[i], labelPlaces[i]);
    }
    Put(form, Combo(svSpiralType, true), {8 + 72, 68 + 20, 93, -1});
    Put(form, Combo(svSpiralCount, true), {8 + 72, 68 + 46, 93, -1});
    Put(form, Combo(svBlendMode, true), {8 + 246, 68 + 20, 93, -1});

    Controls[svOk] = gtk_button_new_with_label("Ok");
    Controls[svCancel] = gtk_button_new_with_label("Cancel");
    Put(form, Controls[svOk], {179, 156, 81, 23});
    Put(form, Controls[svCancel], {272, 156, 81, 23});
    SetTabOrder(form, advanced);

    for (TSettingsViewControl id : {svCustom, svDesktop, svAdvancedOptions})
        g_signal_connect(Controls[id], "toggled", G_CALLBACK(OnToggled), this);
    for (TSettingsViewControl id : {svOk, svCancel})
        g_signal_connect(Controls[id], "clicked", G_CALLBACK(OnClicked), this);
    g_signal_connect(Window, "delete-event", G_CALLBACK(OnDelete), this);
    g_signal_connect(Window, "destroy", G_CALLBACK(OnDestroy), this);
    g_signal_connect(Window, "key-press-event", G_CALLBACK(OnKey), this);
}

// Tab order of the original dialog: the screen mode lists (depth first), the buttons, the radio
// buttons, then the advanced box. The toolkit would otherwise go by position.
void TSettingsView::TImpl::SetTabOrder(GtkWidget* form, GtkWidget* advanced) {
    GList* chain = nullptr;
    for (TSettingsViewControl id : {svDepthList, svModeList, svRateList, svOk, svCancel, svCustom, svDesktop})
        chain = g_list_append(chain, Controls[id]);
    chain = g_list_append(chain, advanced);
    for (TSettingsViewControl id : {svSpiralType, svSpiralCount, svBlendMode})
        chain = g_list_append(chain, Controls[id]);
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_container_set_focus_chain(GTK_CONTAINER(form), chain);
    G_GNUC_END_IGNORE_DEPRECATIONS
    g_list_free(chain);
}

void TSettingsView::TImpl::SetList(TSettingsViewControl id, const TSettingsViewList& list) {
    GtkWidget* w = Controls[id];
    if (Shown[id] != list.Items) {
        gtk_combo_box_text_remove_all(GTK_COMBO_BOX_TEXT(w));
        for (const std::string& item : list.Items)
            gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(w), item.c_str());
        Shown[id] = list.Items;
    }
    // Free text typed into an editable combo stays as the player left it.
    if (list.ItemIndex >= 0 || !gtk_combo_box_get_has_entry(GTK_COMBO_BOX(w)))
        gtk_combo_box_set_active(GTK_COMBO_BOX(w), list.ItemIndex);
    gtk_widget_set_sensitive(w, list.Enabled);
}

void TSettingsView::TImpl::Show(const TSettingsViewState& s) {
    Updating = true;
    gtk_window_set_title(GTK_WINDOW(Window), s.Caption.c_str());
    GtkWidget* radio = s.Custom ? Controls[svCustom] : s.Desktop ? Controls[svDesktop] : NoRadio;
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(radio), TRUE);
    SetList(svModeList, s.Modes);
    SetList(svDepthList, s.Depths);
    SetList(svRateList, s.Rates);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(Controls[svAdvancedOptions]), s.AdvancedOptions);
    SetList(svSpiralType, s.SpiralType);
    SetList(svSpiralCount, s.SpiralCount);
    SetList(svBlendMode, s.BlendMode);
    for (GtkWidget* label : Labels)
        gtk_widget_set_sensitive(label, s.SpiralType.Enabled);
    Updating = false;
}

void TSettingsView::TImpl::OnToggled(GtkToggleButton* button, gpointer data) {
    auto* self = static_cast<TImpl*>(data);
    if (self->Updating || !self->Events) return;
    const TSettingsViewControl id = self->IdOf(button);
    const bool active = gtk_toggle_button_get_active(button);
    // A radio pair reports once, through the button that became checked.
    if (id != svAdvancedOptions && !active) return;
    self->Events->Changed(id, active ? 1 : 0);
}

void TSettingsView::TImpl::OnComboChanged(GtkComboBox* combo, gpointer data) {
    auto* self = static_cast<TImpl*>(data);
    if (self->Updating || !self->Events) return;
    self->Events->Changed(self->IdOf(combo), gtk_combo_box_get_active(combo));
}

void TSettingsView::TImpl::OnClicked(GtkButton* button, gpointer data) {
    auto* self = static_cast<TImpl*>(data);
    if (!self->Events) return;
    if (self->IdOf(button) == svOk)
        self->Events->OkClicked();
    else
        self->Events->CancelClicked();
}

gboolean TSettingsView::TImpl::OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
    auto* self = static_cast<TImpl*>(data);
    return self->Events && !self->Events->CloseRequested();
}

void TSettingsView::TImpl::OnDestroy(GtkWidget*, gpointer data) {
    auto* self = static_cast<TImpl*>(data);
    self->Window = nullptr;
    if (self->NoRadio) {
        g_object_unref(self->NoRadio);
        self->NoRadio = nullptr;
    }
    if (gOpenView == self) gOpenView = nullptr;
    if (self->Running) {
        self->Running = false;
        gtk_main_quit();
    }
}

gboolean TSettingsView::TImpl::OnKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto* self = static_cast<TImpl*>(data);
    if (event->keyval != GDK_KEY_F1 || !self->Events) return FALSE;
    self->Events->HelpRequested();
    return TRUE;
}

gboolean TSettingsView::TImpl::RunTestScript(gpointer) {
    std::function<void()> script = std::move(gTestScript);
    gTestScript = nullptr;
    if (script) script();
    return G_SOURCE_REMOVE;
}

TSettingsView::TSettingsView() : Impl(std::make_unique<TImpl>()) {}
TSettingsView::~TSettingsView() = default;

bool TSettingsView::StartToolkit() {
    static bool started = false;
    if (started) return true;
    gtk_disable_setlocale();
    started = gtk_init_check(nullptr, nullptr);
    return started;
}

void TSettingsView::Open(TSettingsViewEvents& events, const TSettingsViewState& state) {
    Impl->Events = &events;
    Impl->Build();
    Impl->Show(state);
    gtk_widget_show_all(Impl->Window);
    gOpenView = Impl.get();
    if (gTestScript) g_idle_add(&TImpl::RunTestScript, nullptr);
}

void TSettingsView::Show(const TSettingsViewState& state) {
    if (Impl->Window) Impl->Show(state);
}

// A termination signal closes the dialog as its Cancel would, without a question.
gboolean TSettingsView::TImpl::PollTermination(gpointer data) {
    auto* self = static_cast<TImpl*>(data);
    if (!TerminationRequested()) return G_SOURCE_CONTINUE;
    for (GtkWidget* box : gOpenBoxes)
        gtk_dialog_response(GTK_DIALOG(box), GTK_RESPONSE_DELETE_EVENT);
    if (self->Window) gtk_widget_destroy(self->Window);
    self->PollSource = 0;
    return G_SOURCE_REMOVE;
}

void TSettingsView::Run() {
    if (!Impl->Window) return;
    Impl->Running = true;
    Impl->PollSource = g_timeout_add(100, &TImpl::PollTermination, Impl.get());
    gtk_main();
    if (Impl->PollSource) g_source_remove(Impl->PollSource);
    Impl->PollSource = 0;
    // Let the window vanish before the game's own window appears.
    while (gtk_events_pending())
        gtk_main_iteration();
}

void TSettingsView::Close() {
    if (Impl->Window) gtk_widget_destroy(Impl->Window);
}

bool TSettingsView::IsOpen() const {
    return Impl->Window != nullptr;
}

TSettingsViewAnswer TSettingsView::Ask(const std::string& text, bool withCancel) {
    gMessages.push_back(text);
    if (gAutoAnswer) return *gAutoAnswer;
    if (TerminationRequested()) return withCancel ? svaCancel : svaNo;
    GtkWidget* box = gtk_message_dialog_new(GTK_WINDOW(Impl->Window), GTK_DIALOG_MODAL, GTK_MESSAGE_QUESTION,
                                            GTK_BUTTONS_NONE, "%s", LineBreaks(text).c_str());
    gtk_window_set_title(GTK_WINDOW(box), "Confirm");
    gtk_dialog_add_button(GTK_DIALOG(box), "_Yes", GTK_RESPONSE_YES);
    gtk_dialog_add_button(GTK_DIALOG(box), "_No", GTK_RESPONSE_NO);
    if (withCancel) gtk_dialog_add_button(GTK_DIALOG(box), "_Cancel", GTK_RESPONSE_CANCEL);
    const int response = RunBox(box);
    if (response == GTK_RESPONSE_YES) return svaYes;
    if (response == GTK_RESPONSE_NO) return svaNo;
    return withCancel ? svaCancel : svaNo; // a box closed by its title bar changes nothing
}

void TSettingsView::Inform(const std::string& text) {
    gMessages.push_back(text);
    if (gAutoAnswer || TerminationRequested()) return;
    GtkWidget* box =
        gtk_message_dialog_new(Impl->Window ? GTK_WINDOW(Impl->Window) : nullptr, GTK_DIALOG_MODAL,
                               GTK_MESSAGE_INFO, GTK_BUTTONS_OK, "%s", LineBreaks(text).c_str());
    RunBox(box);
}

// ---- Test switches -----------------------------------------------------------------------------

void SetSettingsViewAutoAnswer(std::optional<TSettingsViewAnswer> answer) {
    gAutoAnswer = answer;
}
const std::vector<std::string>& SettingsViewMessages() {
    return gMessages;
}
void ClearSettingsViewMessages() {
    gMessages.clear();
}
void SetSettingsViewTestScript(std::function<void()> script) {
    gTestScript = std::move(script);
}

namespace {

GtkWidget* OpenControl(TSettingsViewControl control) {
    if (!gOpenView || control < 0 || control >= svControlCount) return nullptr;
    return gOpenView->Controls[control];
}

} // namespace

bool SettingsViewTestSelect(TSettingsViewControl control, int index) {
    GtkWidget* w = OpenControl(control);
    if (!w || !GTK_IS_COMBO_BOX(w)) return false;
    gtk_widget_grab_focus(w);
    gtk_combo_box_set_active(GTK_COMBO_BOX(w), index);
    return true;
}

bool SettingsViewTestClick(TSettingsViewControl control) {
    GtkWidget* w = OpenControl(control);
    if (!w || !GTK_IS_BUTTON(w)) return false;
    gtk_widget_grab_focus(w);
    gtk_button_clicked(GTK_BUTTON(w));
    return true;
}

// The window manager's close command, delivered at once (gtk_window_close would wait for idle).
bool SettingsViewTestCloseWindow() {
    if (!gOpenView || !gOpenView->Window) return false;
    GdkEvent* event = gdk_event_new(GDK_DELETE);
    event->any.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(gOpenView->Window)));
    event->any.send_event = TRUE;
    gtk_main_do_event(event);
    gdk_event_free(event);
    return true;
}

bool SettingsViewTestDestroy() {
    if (!gOpenView || !gOpenView->Window) return false;
    gtk_widget_destroy(gOpenView->Window);
    return true;
}

std::string SettingsViewTestCaption() {
    if (!gOpenView || !gOpenView->Window) return {};
    const char* title = gtk_window_get_title(GTK_WINDOW(gOpenView->Window));
    return title ? title : "";
}

std::vector<std::string> SettingsViewTestItems(TSettingsViewControl control) {
    GtkWidget* w = OpenControl(control);
    if (!w || !GTK_IS_COMBO_BOX(w)) return {};
    std::vector<std::string> items;
    GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(w));
    GtkTreeIter it;
    for (gboolean ok = gtk_tree_model_get_iter_first(model, &it); ok;
         ok = gtk_tree_model_iter_next(model, &it)) {
        gchar* text = nullptr;
        gtk_tree_model_get(model, &it, 0, &text, -1);
        items.emplace_back(text ? text : "");
        g_free(text);
    }
    return items;
}

int SettingsViewTestSelected(TSettingsViewControl control) {
    GtkWidget* w = OpenControl(control);
    if (!w) return -1;
    if (GTK_IS_COMBO_BOX(w)) return gtk_combo_box_get_active(GTK_COMBO_BOX(w));
    if (GTK_IS_TOGGLE_BUTTON(w)) return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(w)) ? 1 : 0;
    return -1;
}

bool SettingsViewTestEnabled(TSettingsViewControl control) {
    GtkWidget* w = OpenControl(control);
    return w && gtk_widget_get_sensitive(w);
}

} // namespace velmora
