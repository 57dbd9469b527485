// Shows the report of data/Report.js (the text of data/Report.xml as one string), a page
// of entries at a time: only the page on show is parsed, so a report of a million
// entries opens as quickly as a small one. Every value goes into the page as text.
(function () {
  "use strict";

  var PAGE_SIZE = 100;
  var ENTRY = "<Logentry>";
  var ROOT_END = "</StrategyReportInfo>";
  var FIELDS = ["HostName", "IP", "LogStyle", "LogContent", "LogTime"];

  function $(id) { return document.getElementById(id); }

  function say(text) {
    var notice = $("notice");
    notice.textContent = text;
    notice.hidden = false;
  }

  function parse(xml) {
    var doc = new DOMParser().parseFromString(xml, "application/xml");
    return doc.getElementsByTagName("parsererror").length ? null : doc;
  }

  function childText(element, name) {
    for (var c = element.firstElementChild; c; c = c.nextElementSibling) {
      if (c.tagName === name) return c.textContent;
    }
    return "";
  }

  var data = typeof ReportXml === "string" ? ReportXml : null;
  if (data === null) {
    say("未找到报告数据（data/Report.js），请重新生成简报。");
    return;
  }

  // Where each entry starts; the text of an entry is read only when its page is shown.
  var starts = [];
  for (var at = data.indexOf(ENTRY); at >= 0; at = data.indexOf(ENTRY, at + ENTRY.length)) starts.push(at);
  var end = data.lastIndexOf(ROOT_END);
  var headEnd = starts.length ? starts[0] : end;
  var head = end >= 0 ? parse(data.slice(0, headEnd) + ROOT_END) : null;
  if (!head) {
    say("报告数据无法读取，请重新生成简报。");
    return;
  }
  var root = head.documentElement;
  var name = childText(root, "ReportName");
  document.title = name ? name + " - 简报" : "简报";
  $("title").textContent = name || "简报";
  $("reportName").textContent = name;
  $("author").textContent = childText(root, "Author");
  $("strategyName").textContent = childText(root, "StrategyName");
  $("createTime").textContent = childText(root, "CreateTime");
  $("entryCount").textContent = String(starts.length);
  $("summary").hidden = false;

  if (!starts.length) {
    say("本简报没有日志记录。");
    return;
  }

  var pages = Math.ceil(starts.length / PAGE_SIZE);
  var current = 0;
  $("pages").textContent = String(pages);
  $("page").max = String(pages);
  $("entries").hidden = false;

  function show(page) {
    current = Math.max(0, Math.min(pages - 1, page));
    var first = current * PAGE_SIZE;
    var last = Math.min(first + PAGE_SIZE, starts.length);
    var slice = data.slice(starts[first], last < starts.length ? starts[last] : end);
    var doc = parse("<page>" + slice + "</page>");
    var body = $("rows");
    var fresh = document.createElement("tbody");
    fresh.id = "rows";
    if (!doc) {
      say("第 " + (current + 1) + " 页的数据无法读取。");
    } else {
      var entries = doc.documentElement.children;
      for (var i = 0; i < entries.length; ++i) {
        var row = document.createElement("tr");
        var cell = document.createElement("td");
        cell.textContent = String(first + i + 1);
        row.appendChild(cell);
        for (var f = 0; f < FIELDS.length; ++f) {
          cell = document.createElement("td");
          cell.textContent = childText(entries[i], FIELDS[f]);
          row.appendChild(cell);
        }
        fresh.appendChild(row);
      }
    }
    body.parentNode.replaceChild(fresh, body);
    $("page").value = String(current + 1);
    $("first").disabled = $("previous").disabled = current === 0;
    $("next").disabled = $("last").disabled = current === pages - 1;
  }

  function jump() {
    var wanted = parseInt($("page").value, 10);
    show(isNaN(wanted) ? current : wanted - 1);
  }

  $("first").onclick = function () { show(0); };
  $("previous").onclick = function () { show(current - 1); };
  $("next").onclick = function () { show(current + 1); };
  $("last").onclick = function () { show(pages - 1); };
  $("go").onclick = jump;
  $("page").onkeydown = function (e) { if (e.key === "Enter") jump(); };
  show(0);
})();
