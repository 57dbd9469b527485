"""A box from the tray holds the system's chooser that has the input: 报告中心, a report
checked, 生成简报, the folder button: the shell's folder chooser stands over the output
dialog; tray → 关于.... While the about box stands, a click on the chooser (its 取消, or
where the box covers that, a folder of its tree) changes nothing: once the console has
taken the input after it (the box's 确定 lights up under the mouse) the chooser stands and
looks as before. A click on the output dialog's 生成 does nothing either (with the fields
empty it would ask for the report's name). After 确定 the chooser takes clicks again, and
then the output dialog."""

# The chooser's parts (Wine's dialog, from a screenshot), from its client area's corners:
# 取消 from the bottom right; the tree and its folder 文档 from the bottom left.
CANCEL_FROM_BOTTOM_RIGHT = (54, 21)
DOCUMENTS_FROM_BOTTOM_LEFT = (79, 214)
TREE_FROM_BOTTOM_LEFT = (9, 270, 324, 60)  # left, top, right, bottom: x from the left, y up from the bottom


def covered(box, point):
    g = box.geometry()
    return g and g[0] <= point[0] < g[0] + g[2] and g[1] <= point[1] < g[1] + g[3]


def scenario(s):
    s.db_exec("insert into ReportCenterTable (ReportName, StrategyName, ProduceTime, StrategyVersion, DetailContent)"
              " values (?, ?, ?, ?, ?)", ("周报", "策略一", "2024-06-01 10:00:00", 0, ""))
    s.start_service()
    main = s.start_console()
    s.click_element(main, 103, 109)  # 报告中心
    page = main.layout(103, {111: 4, 364: 0})
    boxes = s.wait_until(lambda: s.check_boxes(main, page.element(1101)[0]), what="the report's row in the list")
    s.click(main, boxes[0])
    s.click(main, page.centre(1210))  # 生成简报
    out = s.wait_window("报告管理-输出设置")
    out_lay = out.layout(547)
    s.click(out, out_lay.centre(1208))  # the folder button
    chooser = s.wait_window("选择文件夹")

    s.tray_command(1, 2)  # "升级...", "关于..."
    box = s.wait_window("关于...")
    ok = box.layout(557).element(101, "button")[0]  # 确定
    cx, cy, w, h = chooser.geometry()
    # The part of the tree beside the box, as the user sees it while the box stands.
    bx = box.geometry()[0]
    tree = (TREE_FROM_BOTTOM_LEFT[0], h - TREE_FROM_BOTTOM_LEFT[1], min(TREE_FROM_BOTTOM_LEFT[2], bx - cx),
            h - TREE_FROM_BOTTOM_LEFT[3])
    seen = tree[2] - tree[0] > 20
    before = s.stable_pixels(chooser, tree, "the chooser's tree to settle") if seen else None
    cancel = (w - CANCEL_FROM_BOTTOM_RIGHT[0], h - CANCEL_FROM_BOTTOM_RIGHT[1])
    documents = (DOCUMENTS_FROM_BOTTOM_LEFT[0], h - DOCUMENTS_FROM_BOTTOM_LEFT[1])
    target = next((p for p in (cancel, documents) if not covered(box, chooser.to_screen(p))), None)
    s.check(target, "the about box covers the chooser's 取消 and its tree")
    s.click(chooser, target)
    s.settle(box, ok)
    s.check(box.shown(), "the about box went on a click on the chooser")
    if not chooser.shown():
        # It went: the output dialog must still take nothing while the box stands.
        s.click(out, out_lay.centre(1209))  # 生成
        asked = s.settle(box, ok, ("提示",))
        s.check(not asked, "the output dialog took 生成 while the about box stood")
        s.fail("the folder chooser took a click while the about box stood")
    s.check(not seen or s.pixels(chooser, tree) == before, "the folder chooser took a click while the about box stood")

    # The output dialog beside the box, held by the chooser.
    generate = out.to_screen(out_lay.centre(1209))
    s.check(not covered(box, generate), "the about box covers 生成")
    s.click(out, out_lay.centre(1209))
    asked = s.settle(box, ok, ("提示",))
    s.check(not asked, "the output dialog took 生成 while the about box stood over the chooser")
    s.check(box.shown(), "the about box went on a click on the output dialog")

    s.click(box, ((ok[0] + ok[2]) // 2, (ok[1] + ok[3]) // 2))
    s.wait_gone(box)
    # The chooser is the user's again, then the output dialog.
    s.click(chooser, cancel)
    try:
        s.wait_gone(chooser)
    except s.Failure:
        s.fail("the folder chooser took no click after the about box went")
    s.click(out, out_lay.centre(1211))  # 退出
    s.wait_gone(out)
    s.check(s.console_alive(), "the console ended")
