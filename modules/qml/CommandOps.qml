// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "Xq/KeyFunctions.js" as KeyFunctions
import "Xq/Lighting.js" as Lighting
import "Xq/ParameterBlocks.js" as Blocks
import "Xq/DpiValues.js" as DpiValues
import "Xq/EditorValues.js" as Rules

// What the command line asks of the window, done as the window's own controls do it: each
// change sets the page state a control would set and then runs what the window's button runs
// ("Save", a profile choice, the reset dialog's OK, the profile and macro pages' file
// operations). Nothing here builds a block or a stored value of its own. Each function returns
// { error } when the request does not fit this mouse, else { notes } (lines worth telling).
QtObject {
    id: ops
    required property Item scene

    function failed(text) {
        return { error: text }
    }

    function done(notes) {
        return { notes: notes || [] }
    }

    // Unsaved changes or an open dialog belong to the user at the window: a command would
    // save them, or be overwritten by them.
    function busy() {
        return !scene.layout || scene.isSaveNeeded || scene.dialogOpen
    }

    // ---- Words -------------------------------------------------------------------------------

    function keyWordOf(code) {
        var names = scene.keyCodeNames
        return KeyFunctions.keyWord(code, names.keyCode, names.keyCodeName)
    }

    function keyCodeOf(word) {
        var names = scene.keyCodeNames
        return KeyFunctions.keyCode(word, names.keyCode, names.keyCodeName)
    }

    function macroNameOf(slot) {
        var name = ui_View.getData("mouseMacroKey/" + slot, false)
        return name === undefined || name === null ? "" : String(name)
    }

    // The lighting modes this mouse offers, named after the page's built-in texts.
    function modeWords() {
        var page = scene.lightControlMain
        var words = []
        for (var m = 0; m < page.lightModel.count; ++m)
            words.push(String(page.lightControlLangBuiltIn[page.lightModel.get(m).textIndex]).toLowerCase().replace(/ /g, "-"))
        return words
    }

    // Colour blocks the lighting page shows in a mode.
    function shownColours(mode) {
        var shown = 0
        while (shown < 8 && Lighting.blockVisible(shown, scene.is55328, mode, scene.lightControlMain.dpiCount,
                                                  scene.isColorful))
            ++shown
        return shown
    }

    function rateHz(entry) {
        return 1000 / Blocks.rateCode(entry)
    }

    // ---- Reading -----------------------------------------------------------------------------

    // Everything the pages show.
    function state() {
        var dpi = scene.dpiSettingMain, light = scene.lightControlMain, keys = scene.keyMatrixMain
        var profiles = scene.profileMain.profileDataModel0
        var profileName = ""
        for (var p = 0; p < profiles.count; ++p)
            if (profiles.get(p).profileNo === scene.currentProfileNo)
                profileName = profiles.get(p).textValue
        var buttons = []
        for (var b = 0; b < scene.mouseMain.keyCount && b < keys.modKeys.count; ++b) {
            var e = keys.modKeys.get(b)
            buttons.push({ button: b + 1, text: e.keyText,
                           "function": KeyFunctions.functionWord([e.keyCode0, e.keyCode1, e.keyCode2, e.keyCode3],
                                                                 keyWordOf, macroNameOf) })
        }
        var colours = []
        for (var c = 0; c < shownColours(light.lightMode); ++c)
            colours.push(light.blockColour(c).slice(1))
        var result = {
            profile: { slot: scene.currentProfileNo + 1, name: profileName },
            dpi: { stages: dpi.dpiValueArray.slice(0, dpi.currentDpiCount), active: dpi.currentDPI + 1,
                   most: dpi.entryRows ? Math.min(dpi.dpiCount, 6) : dpi.dpiCount,
                   min: dpi.entryRows ? DpiValues.entryStep : dpi.minDPI,
                   max: dpi.entryRows ? DpiValues.entryMax : dpi.maxDPI },
            rate: rateHz(scene.reportRateList.currentSelect),
            light: { mode: modeWords()[light.lightMode] || "", speed: 25 * light.speedStep,
                     brightness: 25 * light.brightnessStep, colors: colours },
            buttons: buttons,
            macros: scene.macroEditorMain.names()
        }
        if (scene.lodVisible)
            result.lod = scene.lodIndex + 1
        if (scene.isGun) {
            var gun = scene.gunControlMain
            result.guns = gun.slots().map(function(row, k) {
                var g = gun.gunModel.get(row)
                return { slot: k + 1, name: g.gunName, period: Number(g.gunPeriod), x: Number(g.gunX),
                         y: Number(g.gunY), times: Number(g.gunTimes) }
            })
        }
        return result
    }

    // The macros with their events as stored (the last entry of a stored macro is its repeat).
    function macros() {
        return scene.macroEditorMain.names().map(function(name) {
            var stored = ui_View.loadMacroIni(name)
            return { name: name, repeat: Number(stored[stored.length - 1]), events: stored.slice(0, -1) }
        })
    }

    // ---- Changing ----------------------------------------------------------------------------

    // The stage values as the sliders (or the entry rows) take them, the stage count as its
    // list sets it, then "Save"; the active stage goes out with the report rate's block.
    function setDpi(values, stage) {
        var page = scene.dpiSettingMain
        var st = state().dpi
        if (values.length < 1 || values.length > st.most)
            return failed("set dpi: this mouse takes 1 to " + st.most + " stages")
        for (var i = 0; i < values.length; ++i)
            if (values[i] < st.min || values[i] > st.max)
                return failed("set dpi: " + values[i] + " is outside " + st.min + " to " + st.max)
        if (stage > values.length)
            return failed("set dpi: --stage " + stage + " but only " + values.length + " stages")
        if (values.length !== page.currentDpiCount)
            page.chooseStageCount(values.length - 1)
        var notes = []
        for (var k = 0; k < values.length; ++k) {
            if (page.entryRows) {
                page.setEntry(k, DpiValues.settleEntry(values[k]))
            } else {
                var before = page.dpiValueArray[k]
                page.sliderMoved(k, DpiValues.positionOf(values[k], page.minDPI, page.maxDPI))
                if (page.dpiValueArray[k] !== before)
                    page.isSave = true
            }
            if (page.dpiValueArray[k] !== values[k])
                notes.push("stage " + (k + 1) + ": " + values[k] + " is set as " + page.dpiValueArray[k]
                           + ", the nearest value this mouse takes")
        }
        page.placed()
        scene.saveAll()
        if (stage > 0) {
            page.currentDPI = stage - 1
            ui_View.beginSave()
            scene.o_saveData0(true)
            scene.endSave()
        }
        return done(notes)
    }

    function setRate(hz) {
        for (var i = 0; i < Blocks.rateCodes.length; ++i)
            if (rateHz(i) === hz) {
                scene.chooseReportRate(i)
                return done()
            }
        return failed("set rate: no rate " + hz)
    }

    function setLod(mm) {
        if (!scene.lodVisible)
            return failed("set lod: this mouse has no lift-off setting")
        scene.chooseLod(mm - 1)
        return done()
    }

    // mode "" keeps the mode; speed and brightness are percentages (-1: kept); colours are
    // "rrggbb" texts for blocks 1, 2, ..., set as a block click and the R, G, B fields set them.
    function setLight(mode, speed, brightness, colours) {
        var page = scene.lightControlMain
        var words = modeWords()
        var m = mode === "" ? page.lightMode : words.indexOf(String(mode).toLowerCase())
        if (m < 0)
            return failed("set light: no mode \"" + mode + "\" on this mouse (modes: " + words.join(", ") + ")")
        if (colours.length > shownColours(m))
            return failed("set light: this mouse shows " + shownColours(m) + " colours in mode " + words[m])
        if (mode !== "")
            page.chooseMode(m)
        if (speed >= 0) {
            page.speedStep = speed / 25
            page.isSave = true
        }
        if (brightness >= 0) {
            page.brightnessStep = brightness / 25
            page.isSave = true
        }
        var kept = page.selectColorBlock
        for (var k = 0; k < colours.length; ++k) {
            page.selectBlock(k)
            var rgb = parseInt(colours[k], 16)
            page.setBlockColour([(rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF])
        }
        if (colours.length > 0)
            page.selectBlock(kept)
        page.showState()
        scene.saveAll()
        return done()
    }

    // The assignment dialog, loaded for the button without being shown: the function chosen
    // as its controls (or the key capture) choose it, then its close button, then "Save".
    function setButton(n, word) {
        var keys = scene.keyMatrixMain, dialog = scene.keyAssigmentMain
        var count = scene.mouseMain.keyCount
        if (n < 1 || n > count)
            return failed("set button: this mouse has buttons 1 to " + count)
        if (keys.isOnlyLeftButton(n - 1))
            return failed("set button " + n + ": the only left button keeps its function")
        var parsed = KeyFunctions.parseWord(word, keyCodeOf, scene.macroNames, scene.isGun)
        if (parsed.error)
            return failed("set button " + n + ": " + parsed.error)
        dialog.selectKey = n - 1
        dialog.load(n - 1)
        if (parsed.codes) {
            dialog.choose(parsed.codes)
        } else if (parsed.fire) {
            dialog.setFireRate(parsed.fire[1] - 1)
            dialog.setFireTimes(parsed.fire[2])
            dialog.isFireInput = true
            dialog.detectKeyboard(true, parsed.fire[0], 0)
        } else if (parsed.keys) {
            dialog.comboCodes = [KeyFunctions.ComboGroup, 0, 0, 0]
            dialog.comboTaken = false
            dialog.isComboInput = true
            for (var k = 0; k < parsed.keys.length; ++k)
                dialog.detectKeyboard(true, parsed.keys[k], 1)
            dialog.detectKeyboard(false, parsed.keys[parsed.keys.length - 1], 1)
        } else {
            dialog.setMacroMode(parsed.mode)
            dialog.chooseMacro(parsed.macro)
        }
        dialog.finish()
        dialog.selectKey = -1
        scene.saveAll()
        return done()
    }

    // A profile of the list by its slot number or its name, as the title bar's list picks it.
    function switchProfile(word) {
        var model = scene.profileMain.profileDataModel0
        var names = []
        for (var i = 0; i < model.count; ++i) {
            var e = model.get(i)
            names.push((e.profileNo + 1) + " (" + e.textValue + ")")
            if (String(e.profileNo + 1) === word || e.textValue === word) {
                scene.changeProfile(e.profileNo)
                return done()
            }
        }
        return failed("profile: no profile \"" + word + "\" (profiles: " + names.join(", ") + ")")
    }

    // The file dialogs of these answer with the command's file.
    function exportProfile() {
        ui_View.saveProfile(scene.currentProfileNo)
        return done()
    }

    // The current profile replaced by the file, then sent as after a profile choice.
    function importProfile() {
        scene.controlUIEnable(false)
        var imported = ui_View.loadProfile(scene.currentProfileNo)
        if (imported) {
            ui_View.beginSave()
            scene.applyProfile()
            scene.endSave()
        }
        scene.controlUIEnable(true)
        return imported ? done() : failed("import: the file cannot be copied into the profile")
    }

    // The reset dialog's OK.
    function reset() {
        scene.factoryReset()
        return done()
    }

    function exportMacro(name) {
        var editor = scene.macroEditorMain
        var row = editor.names().indexOf(name)
        if (row < 0)
            return failed("macro export: no macro \"" + name + "\" (macros: " + editor.names().join(", ") + ")")
        var kept = editor.currentRow
        editor.selectMacro(row)
        editor.exportMacro()
        editor.selectMacro(kept)
        return done()
    }

    // Imported as the editor's import does (under the next free name); { name } when it was.
    function importMacro() {
        var editor = scene.macroEditorMain
        var before = editor.names()
        if (before.length >= Rules.maxMacros)
            return failed("macro import: the list holds " + Rules.maxMacros + " macros already")
        var kept = editor.currentRow
        editor.importMacro(-1)
        var added = editor.names().filter(function(name) { return before.indexOf(name) < 0 })
        editor.selectMacro(kept)
        if (added.length === 0)
            return failed("macro import: the file cannot be imported")
        var result = done()
        result.name = added[0]
        return result
    }

    // ---- A dry run ---------------------------------------------------------------------------

    // What the pages hold beyond the profile's files: the device's own reports.
    function snapshot() {
        var light = scene.lightControlMain
        return { stage: scene.dpiSettingMain.currentDPI, rate: scene.reportRateList.currentSelect,
                 mode: light.lightMode, speed: light.speedStep, sent: light.sentColorBlock }
    }

    // The pages from the files again, and the device's reports over them.
    function restore(saved) {
        scene.initPages(false)
        var light = scene.lightControlMain
        scene.dpiSettingMain.currentDPI = saved.stage
        scene.reportRateList.currentSelect = saved.rate
        light.lightMode = saved.mode
        light.speedStep = saved.speed
        light.sentColorBlock = saved.sent
        light.showState()
    }
}
