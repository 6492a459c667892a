import QtQuick
import QtTest
// The scene's files are compiled into this runner; importing them from the
// resources tests exactly what the program loads.
import "qrc:/modules/qml/basic"
import "qrc:/modules/qml/J2"

// The controls read the shared look from `mainIten`, as inside the scene.
SceneLook {
    id: mainIten
    width: 800
    height: 700

    ListModel {
        id: rates
        ListElement { textValue: "125Hz" }
        ListElement { textValue: "250Hz" }
        ListElement { textValue: "500Hz" }
        ListElement { textValue: "1000Hz" }
    }

    ListModel { id: twelve }
    ListModel { id: ten }

    DropDownList {
        id: rateList
        x: 10
        y: 10
        width: 120
        currentSelect: 0
        mdItems: rates
    }

    DropDownList {
        id: longList
        x: 200
        y: 10
        width: 120
        currentSelect: 0
        mdItems: twelve
    }

    DropDownList {
        id: tenList
        x: 400
        y: 10
        width: 120
        currentSelect: 0
        mdItems: ten
    }

    DropDownGrid {
        id: grid
        x: 10
        y: 400
        width: 80
        mdItems: ListModel {
            ListElement { textValue: "Player" }
            ListElement { textValue: "Next" }
            ListElement { textValue: "" }
            ListElement { textValue: "Stop" }
        }
    }

    DropDownSlider {
        id: dropSlider
        x: 400
        y: 400
        width: 110
        textValue: "10ms"
    }

    SignalSpy { id: valueSpy; target: rateList; signalName: "valueChange" }
    SignalSpy { id: clickSpy; target: rateList; signalName: "btnClick" }
    SignalSpy { id: dragSpy; target: longList; signalName: "dragSignal" }
    SignalSpy { id: gridSpy; target: grid; signalName: "btnClick" }
    SignalSpy { id: gridValueSpy; target: grid; signalName: "valueChange" }
    SignalSpy { id: sliderSpy; target: dropSlider; signalName: "valueChange" }

    TestCase {
        name: "DropDown"
        when: windowShown

        function initTestCase() {
            for (var i = 0; i < 12; ++i)
                twelve.append({ textValue: "item " + i })
            for (i = 0; i < 10; ++i)
                ten.append({ textValue: "item " + i })
        }

        function init() {
            for (const spy of [valueSpy, clickSpy, dragSpy, gridSpy, gridValueSpy, sliderSpy])
                spy.clear()
        }

        function cleanup() {
            for (const list of [rateList, longList, tenList, grid]) {
                tryCompare(list, "animating", false)
                if (list.isDrop)
                    list.closeMenu()
                tryCompare(list, "animating", false)
            }
            dropSlider.closeMenu()
            wait(200)
        }

        function openList(list) {
            mouseClick(list, list.width / 2, 12)
            tryCompare(list, "animating", false)
            compare(list.isDrop, true)
            compare(list.dropScroll, 0)
        }

        function item(list, index) {
            return findChild(list, "item" + index)
        }

        function test_valueChangeArrivesOnceAfterClosing() {
            compare(rateList.textValue, "125Hz")
            openList(rateList)
            compare(clickSpy.count, 1)
            mouseClick(item(rateList, 2), 20, 12)
            // Closed at once, reported only when the closing animation ends.
            compare(rateList.isDrop, false)
            compare(rateList.currentSelect, 2)
            compare(valueSpy.count, 0)
            verify(rateList.animating)
            valueSpy.wait(1000)
            compare(valueSpy.signalArguments[0][0], 2)
            compare(rateList.animating, false)
            compare(rateList.dropScroll, 24 * 4)
            wait(100)
            compare(valueSpy.count, 1)
            compare(rateList.textValue, "500Hz")
        }

        function test_animationLengthFollowsItemCount() {
            // 180 - 10 x count ms: four items take 140 ms.
            var start = Date.now()
            mouseClick(rateList, 60, 12)
            tryCompare(rateList, "animating", false)
            var elapsed = Date.now() - start
            verify(elapsed >= 120 && elapsed < 600, "opening took " + elapsed + " ms")
        }

        function test_itemRightEdgeIsNotAChoice() {
            openList(rateList)
            mouseClick(item(rateList, 3), rateList.width - 5, 12)
            compare(rateList.isDrop, true)
            wait(250)
            compare(valueSpy.count, 0)
        }

        function test_headClickClosesWithoutValue() {
            openList(rateList)
            mouseClick(rateList, 60, 12)
            compare(rateList.isDrop, false)
            tryCompare(rateList, "animating", false)
            compare(valueSpy.count, 0)
            compare(clickSpy.count, 2)
        }

        function test_tenRowsAndScrollBar_data() {
            return [
                { tag: "12 items", list: longList, rows: 10, bar: true },
                { tag: "10 items", list: tenList, rows: 10, bar: false },
                { tag: "4 items", list: rateList, rows: 4, bar: false }
            ]
        }

        function test_tenRowsAndScrollBar(data) {
            openList(data.list)
            compare(findChild(data.list, "dropArea").height, 24 * data.rows)
            var bar = findChild(data.list, "scrollBar")
            compare(bar.visible, data.bar)
            if (data.bar)
                compare(bar.height, 240 * 10 / 12)
        }

        function test_scrollBarDragStaysInsideTrack() {
            openList(longList)
            var bar = findChild(longList, "scrollBar")
            mousePress(bar, 6, 10)
            compare(dragSpy.count, 1)
            compare(dragSpy.signalArguments[0][0], true)
            mouseMove(bar, 6, 30)
            compare(bar.y, 20)
            compare(longList.listScroll, 20 * 288 / 240)
            mouseMove(bar, 6, 400)        // far below: the bar stops at the bottom
            compare(bar.y, 240 - bar.height)
            compare(longList.listScroll, 2 * 24)
            mouseMove(bar, 6, -500)       // far above: the list stops at its top
            compare(bar.y, 0)
            compare(longList.listScroll, 0)
            mouseRelease(bar, 6, -500)
            compare(dragSpy.count, 2)
            compare(dragSpy.signalArguments[1][0], false)
        }

        function test_closeMenuWhileOpeningDoesNothing() {
            mouseClick(rateList, 60, 12)
            verify(rateList.animating)
            rateList.closeMenu()
            tryCompare(rateList, "animating", false)
            compare(rateList.isDrop, true)
            compare(rateList.dropScroll, 0)
            // Fully open, it closes, and reports nothing.
            rateList.closeMenu()
            compare(rateList.isDrop, false)
            tryCompare(rateList, "animating", false)
            compare(rateList.dropScroll, 96)
            compare(valueSpy.count, 0)
        }

        function test_gridCells() {
            compare(grid.textValue, "Player")
            mouseClick(grid, 40, 12)
            tryCompare(grid, "animating", false)
            compare(grid.isDrop, true)
            // Four items in three columns: two full rows.
            compare(findChild(grid, "dropArea").height, 48)
            compare(findChild(grid, "dropArea").width, 240)
            mouseClick(findChild(grid, "cell3"), 40, 12)
            compare(grid.currentSelect, 3)
            compare(grid.isDrop, false)
            compare(gridSpy.count, 1)
            compare(grid.textValue, "Stop")
            tryCompare(grid, "animating", false)
            // An empty cell closes the grid and still reports, but is not taken.
            mouseClick(grid, 40, 12)
            tryCompare(grid, "animating", false)
            mouseClick(findChild(grid, "cell2"), 40, 12)
            compare(grid.currentSelect, 3)
            compare(gridSpy.count, 2)
            compare(gridValueSpy.count, 0)
        }

        function test_dropDownSlider() {
            mouseClick(dropSlider, 50, 12)
            compare(dropSlider.isDrop, true)
            verify(dropSlider.animating)
            // Unlike the list, it closes even while opening.
            dropSlider.closeMenu()
            compare(dropSlider.isDrop, false)
            tryCompare(dropSlider, "animating", false)
            compare(dropSlider.dropScroll, 24)
            // Its slider is 16 px narrower: positions 3..79.
            var slider = dropSlider.sliderControl
            compare(slider.width, 94)
            compare(slider.minPos, 3)
            compare(slider.maxPos, 79)
            dropSlider.setValue(0.5)
            compare(sliderSpy.count, 1)
            compare(sliderSpy.signalArguments[0][0], Math.floor(76 * 0.5) + 3 + 1)
        }
    }
}
