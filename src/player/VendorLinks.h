#pragma once

#include <QString>

// The vendor's addresses on the web and the calls that hand them to the desktop.
namespace vendor
{

inline const QString kHostName = QStringLiteral("www.vorlund.example");
inline const QString kHomePage = QStringLiteral("http://www.vorlund.example/");
inline const QString kStorePage = QStringLiteral("http://www.vorlund.example/store/");
inline const QString kMailingListPage =
    QStringLiteral("http://www.vorlund.example/mailinglist.htm");
inline const QString kLabPage = QStringLiteral("http://www.vorlund.example/lab/");
// The support page and the order form are written as host name and path without a scheme; the
// shell recognises such an address and opens it in the browser.
inline const QString kSupportPage = QStringLiteral("www.vorlund.example\\support.htm");
inline const QString kOrderForm = QStringLiteral("www.vorlund.example\\order_form.pdf");
inline const QString kSupportEmail = QStringLiteral("support@vorlund.example");

// Opens a web page with the default action, from the file system's root folder.
void openWebPage(const QString &address);
// Opens a support page or document address with the default action.
void openAddress(const QString &address);
// Starts a new message to the support address in the desktop's mail program.
void writeSupportEmail();

} // namespace vendor
