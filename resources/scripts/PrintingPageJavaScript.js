// Runs in every document page after jQuery, before the page is laid out for printing.
(function ($) {
    "use strict";
    if (!$) {
        return;
    }
    // A picture that could not be loaded (a moved logo or facsimile) leaves no broken frame.
    $("img").each(function () {
        if (this.complete && this.naturalWidth === 0) {
            $(this).remove();
        }
    });
    // Optional rows and boxes whose values all came out empty are dropped.
    $(".zt-optional").each(function () {
        var el = $(this);
        var values = el.find(".zt-value");
        var empty = values.length > 0 && values.filter(function () {
            return $.trim($(this).text()).length > 0;
        }).length === 0;
        if (empty) {
            el.remove();
        }
    });
    $("html").addClass("zt-ready");
}(window.jQuery));
