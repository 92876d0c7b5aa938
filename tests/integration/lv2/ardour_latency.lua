-- The latency Ardour 7 gives the LV2 insert, at its start-up buffer size and after changes of it in
-- the running session, on the Dummy backend (no audio hardware). Every figure must be 0.
--   LV2_PATH=build/native/lv2-bundle ardour7-lua tests/integration/lv2/ardour_latency.lua SCRATCH_DIR
-- The VST shared object is shown beside it once Ardour has indexed it: run
-- `LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst-scanner -f DIR/Bleepifier.so`
-- first, then the line above with LXVST_PATH=DIR added.
local scratch = arg[1] or "/tmp"
local uri = "http://tanuvo.example/plugins/bleepifier"

local backend = AudioEngine:set_backend("None (Dummy)", "", "")
assert(backend, "no Dummy backend")
backend:set_device_name("Sine Wave")  -- a voice-like input keeps the plug-in working
backend:set_sample_rate(48000)
backend:set_buffer_size(1024)
assert(AudioEngine:start(false) == 0, "the engine does not start")

-- A fresh session of its own each run: Ardour refuses to create one that exists.
math.randomseed(os.time())
local name = string.format("latency-%d-%d", os.time(), math.random(1000000))
local session = create_session(scratch .. "/" .. name, name, 48000)
assert(session, "no session in " .. scratch)

local function insert(label, id, kind)
    local track = session:new_audio_track(1, 2, nil, 1, label, ARDOUR.PresentationInfo.max_order,
                                          ARDOUR.TrackMode.Normal, true):front()
    local plugin = ARDOUR.LuaAPI.new_plugin(session, id, kind, "")
    if plugin:isnil() then
        return nil
    end
    track:add_processor_by_index(plugin, 0, nil, true)
    return plugin
end

local inserts = {{"LV2", insert("lv2", uri, ARDOUR.PluginType.LV2)}}
assert(inserts[1][2], "no LV2 plug-in " .. uri .. " (is LV2_PATH set?)")
local vst = insert("vst", "Bleepifier", ARDOUR.PluginType.LXVST)
if vst then
    table.insert(inserts, {"VST", vst})
end

local failed = false
local function report(when)
    sleep(1)  -- a cycle or more, for the plug-in to report and Ardour to take it
    for _, entry in ipairs(inserts) do
        local latency = entry[2]:signal_latency()
        print(string.format("%s insert, %s (buffer %d): latency %d", entry[1], when,
                            session:get_block_size(), latency))
        failed = failed or latency ~= 0
    end
end

report("at start")
for _, size in ipairs({64, 256, 1024}) do
    AudioEngine:set_buffer_size(size)
    report("after a change")
end
close_session()
print(failed and "ardour latency: FAIL" or "ardour latency: ok")
